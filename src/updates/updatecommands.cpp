#include "updates/updatecommands.h"

#include "ui/services.h"
#include "updates/mailsender.h"
#include "updates/registrationmessage.h"
#include "updates/updatecheck.h"
#include "updates/updatedatabase.h"

#include <QDateTime>
#include <QCursor>
#include <QGuiApplication>

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

} // namespace

bool checkForUpdates(Dialogs &dialogs, Shell &shell, const QString &databasePath, QWidget *window)
{
    const UpdateReading reading = readUpdateDatabase(databasePath);
    if (!reading.ok) {
        // A failed check found nothing. The message says why instead of
        // claiming there are no updates.
        dialogs.message(window, QStringLiteral("Could not check for updates: ") + reading.error, Buttons::Ok,
                        Icon::Critical, QStringLiteral("Update Check Failed"));
        return false;
    }
    if (!updatesAnnounced(reading.rows)) {
        dialogs.message(window, QStringLiteral("No updates available. Try back later..."), Buttons::Ok,
                        Icon::None, QStringLiteral("No Updates Available"));
        return false;
    }
    dialogs.message(window, QStringLiteral("Updates available. Redirecting to website..."), Buttons::Ok,
                    Icon::None, QStringLiteral("Updates Available"));
    shell.open(window, QStringLiteral("Open"), QString::fromUtf16(kUpdatePage), QString(), QString(), 3);
    return true;
}

bool sendRegistration(Dialogs &dialogs, MailSender &mail, const RegistrationEntries &entries, QWidget *form)
{
    const RegistrationMessage message = RegistrationMessage::compose(entries.name, entries.email, entries.version);
    const MailSender::Result result = [&] {
        WaitPointer busy;
        return mail.send(message.toMime(QDateTime::currentDateTime()));
    }();
    if (!result.sent) {
        // The form stays open with everything typed, to try again. The
        // message says what is wrong in plain words, then what the mail
        // system said, for whoever sets it up.
        using Failure = MailSender::Result::Failure;
        QString plain;
        switch (result.failure) {
        case Failure::NoMailSystem:
            plain = QStringLiteral("This computer has no mail system for sending e-mail. Ask your system "
                                   "administrator to set one up, then press Send Info again.");
            break;
        case Failure::NotSetUp:
            plain = QStringLiteral("This computer has no mail account set up for sending. Ask your system "
                                   "administrator to set one up, then press Send Info again.");
            break;
        case Failure::NotNow:
            plain = QStringLiteral("The mail system could not send it just now. Press Send Info again later.");
            break;
        default:
            plain = QStringLiteral("The mail system could not send it.");
            break;
        }
        dialogs.message(form,
                        QStringLiteral("Your Registration has not been sent: ") + plain
                            + QStringLiteral("\r\n\r\nThe mail system said: ") + result.error,
                        Buttons::Ok, Icon::Critical, QStringLiteral("Not Sent"));
        return false;
    }
    dialogs.message(form, QStringLiteral("Your Registration has been sent. Thanks"), Buttons::Ok, Icon::None,
                    QStringLiteral("Sent!"));
    return true;
}

} // namespace brevant
