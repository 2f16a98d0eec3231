#pragma once

#include "cli/command.h"

namespace brevant::cli {

// brevant-cli rollup: one table of where each work file stands.
Command rollupCommand();

} // namespace brevant::cli
