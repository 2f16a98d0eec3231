#pragma once

class QString;
class QWidget;

namespace brevant {

class Dialogs;
class MailSender;
class Shell;

// "Check for Updates" on the startup window: reads the update database at
// databasePath and tells the user; opens the update page when there are
// updates. Returns whether the database announced updates (false when it
// could not be read).
bool checkForUpdates(Dialogs &dialogs, Shell &shell, const QString &databasePath, QWidget *window);

// What the registration form holds.
struct RegistrationEntries {
    const QString &name;
    const QString &email;
    const QString &version;
};

// "Send Info" on the registration form: sends the registration message and
// tells the user. Returns whether it was sent.
bool sendRegistration(Dialogs &dialogs, MailSender &mail, const RegistrationEntries &entries, QWidget *form);

} // namespace brevant
