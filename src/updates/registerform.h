#pragma once

#include "ui/window.h"

class QLineEdit;

namespace brevant {

// "Register for Updates": name, e-mail and version, sent as one message.
class RegisterForm : public Window {
    Q_OBJECT
public:
    explicit RegisterForm(Program &program);

    QLineEdit *nameText = nullptr;
    QLineEdit *email = nullptr;
    QLineEdit *version = nullptr;

    // Closing the form by its title bar goes back to the startup window,
    // so the program never runs on without a visible window.
    void Form_Unload() override;
    void send_Click();
    void cancel_Click();
    // Back to the startup window.
    void returnToStart();
};

} // namespace brevant
