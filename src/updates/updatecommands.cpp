#include "updates/updatecommands.h"

#include "app/program.h"
#include "app/registerupdate.h"
#include "updates/mailsender.h"
#include "updates/registerform.h"
#include "updates/registrationmessage.h"
#include "updates/updatecheck.h"
#include "updates/updatedatabase.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLineEdit>

namespace brevant {

namespace {

// The wait pointer while the mail system works, without letting any
// other event in (a second click must not send twice).
class WaitPointer {
public:
    WaitPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QGuiApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;
};

MailSender::Result deliver(Program &program, const QByteArray &message)
{
    MailSender *mail = program.services().mail;
    if (!mail)
        return {false, QStringLiteral("no mail system is available")};
    WaitPointer busy;
    return mail->send(message);
}

} // namespace

void checkForUpdates(Program &program, RegisterUpdate *window)
{
    const UpdateReading reading = readUpdateDatabase(program.programPath(QStringLiteral("/Database/update.db")));
    if (!reading.ok) {
        // The flag holds what a check found, and a failed check found nothing.
        // The message says why instead of claiming there are no updates.
        window->updatesAvailable = false;
        program.dialogs().message(window, QStringLiteral("Could not check for updates: ") + reading.error,
                                  Buttons::Ok, Icon::Critical, QStringLiteral("Update Check Failed"));
        return;
    }
    window->updatesAvailable = updatesAnnounced(reading.rows);
    if (window->updatesAvailable) {
        program.dialogs().message(window, QStringLiteral("Updates available. Redirecting to website..."),
                                  Buttons::Ok, Icon::None, QStringLiteral("Updates Available"));
        program.services().shell->open(window, QStringLiteral("Open"), QString::fromUtf16(kUpdatePage),
                                       QString(), QString(), 3);
    } else {
        program.dialogs().message(window, QStringLiteral("No updates available. Try back later..."),
                                  Buttons::Ok, Icon::None, QStringLiteral("No Updates Available"));
    }
}

void sendRegistration(Program &program, RegisterForm *form)
{
    const RegistrationMessage message = RegistrationMessage::compose(
        form->nameText->text(), form->email->text(), form->version->text());
    const MailSender::Result result = deliver(program, message.toMime(QDateTime::currentDateTime()));
    if (!result.sent) {
        // The form stays open with everything typed, to try again.
        program.dialogs().message(form, QStringLiteral("Your Registration has not been sent: ") + result.error,
                                  Buttons::Ok, Icon::Critical, QStringLiteral("Not Sent"));
        return;
    }
    program.dialogs().message(form, QStringLiteral("Your Registration has been sent. Thanks"), Buttons::Ok,
                              Icon::None, QStringLiteral("Sent!"));
    form->returnToStart();
}

} // namespace brevant
