#include "report/printcommand.h"

namespace brevant {

// Placeholder until the printed report lands.
void printReport(Program &, Std11 *) {}

} // namespace brevant
