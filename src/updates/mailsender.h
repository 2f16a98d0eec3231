#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>

namespace brevant {

// Hands one finished message to the workstation's mail system through the
// sendmail interface: "sendmail -t -oi", the message on standard input,
// the recipients taken from its headers.
class MailSender {
public:
    struct Result {
        bool sent = false;
        QString error;   // why it was not sent, when !sent, as the mail system says it
        // What kind of failure, in words a user can act on.
        enum class Failure {
            None,
            NoMailSystem,   // no sendmail program at all
            NotSetUp,       // it has no account or relay to send through (EX_CONFIG, 78)
            NotNow,         // it could not send just now (EX_TEMPFAIL, 75)
            Other,
        };
        Failure failure = Failure::None;
    };

    // program: the sendmail program to run; empty means the first of
    // /usr/sbin/sendmail and /usr/lib/sendmail that exists. limit: how long
    // the program may take before it is stopped and the send counts as failed.
    explicit MailSender(const QString &program = QString(),
                        std::chrono::milliseconds limit = std::chrono::seconds(30));
    virtual ~MailSender() = default;

    // message: RFC 5322 bytes with CR LF line ends.
    virtual Result send(const QByteArray &message);

private:
    QStringList m_candidates;
    std::chrono::milliseconds m_limit;
};

} // namespace brevant
