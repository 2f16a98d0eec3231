#pragma once

#include "ui/window.h"

namespace brevant {

class Program;

// The startup window: register, check for updates, or go on.
class RegisterUpdate : public Window {
    Q_OBJECT
public:
    explicit RegisterUpdate(Program &program);

    // Set by each update check.
    bool updatesAvailable = false;

    void Form_Unload() override;
    void register_Click();
    void update_Click();
    void continue_Click();

private:
    Program &m_program;
};

} // namespace brevant
