#include "workfile/workcommands.h"

namespace brevant {

// Placeholder until the saved-work commands land.
void saveWork(Program &, QWidget *, FileDialog &) {}
void saveWorkAs(Program &, QWidget *, FileDialog &) {}
void loadWork(Program &, Std0 *) {}

} // namespace brevant
