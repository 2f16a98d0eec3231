#include "updates/updatecommands.h"

namespace brevant {

// Placeholders until the update check and registration land.
void checkForUpdates(Program &, RegisterUpdate *) {}
void sendRegistration(Program &, RegisterForm *) {}

} // namespace brevant
