#pragma once

#include "cli/command.h"

namespace brevant::cli {

// brevant-cli export: work files into report documents, as the template
// window saves them.
Command exportCommand();

} // namespace brevant::cli
