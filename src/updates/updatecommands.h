#pragma once

namespace brevant {

class Program;
class RegisterForm;
class RegisterUpdate;

// "Check for Updates" on the startup window.
void checkForUpdates(Program &program, RegisterUpdate *window);
// "Send Info" on the registration form.
void sendRegistration(Program &program, RegisterForm *form);

} // namespace brevant
