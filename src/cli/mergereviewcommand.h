#pragma once

#include "cli/command.h"

namespace brevant::cli {

// brevant-cli merge-review: git's merge driver for review files.
Command mergeReviewCommand();

} // namespace brevant::cli
