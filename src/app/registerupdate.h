#pragma once

#include "ui/window.h"

namespace brevant {

class Dialogs;
class Shell;

// The startup window: register, check for updates, or go on.
class RegisterUpdate : public Window {
    Q_OBJECT
public:
    RegisterUpdate(WindowHost &host, Dialogs &dialogs, Shell &shell);

    // Set by each update check.
    bool updatesAvailable = false;

    void Form_Unload() override;
    void register_Click();
    void update_Click();
    void continue_Click();

private:
    Dialogs &m_dialogs;
    Shell &m_shell;
};

} // namespace brevant
