#pragma once

#include "ui/window.h"

class QLineEdit;

namespace brevant {

class Dialogs;
class MailSender;

// "Register for Updates": name, e-mail and version, sent as one message.
class RegisterForm : public Window {
    Q_OBJECT
public:
    RegisterForm(WindowHost &host, Dialogs &dialogs, MailSender &mail);

    // Closing the form by its title bar goes back to the startup window,
    // so the program never runs on without a visible window.
    void Form_Unload() override;
    void send_Click();
    void cancel_Click();
    // Back to the startup window.
    void returnToStart();

private:
    Dialogs &m_dialogs;
    MailSender &m_mail;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_email = nullptr;
    QLineEdit *m_version = nullptr;
};

} // namespace brevant
