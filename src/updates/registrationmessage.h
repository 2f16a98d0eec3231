#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace brevant {

// The product's registration mailbox.
inline constexpr char16_t kRegistrationMailbox[] = u"register@brevant.example";

// The registration e-mail as the user's texts make it.
struct RegistrationMessage {
    QString to;
    QString subject;
    QString body;

    // Subject and body from the three boxes of the form, taken as typed.
    static RegistrationMessage compose(const QString &name, const QString &email,
                                       const QString &version);

    // The whole message as Internet mail: headers (To, Subject, Date,
    // MIME-Version, Content-Type, Content-Transfer-Encoding), a blank line
    // and the body as UTF-8 in base64, every line ended by CR LF.
    QByteArray toMime(const QDateTime &date) const;
};

// The Subject header's value: line breaks become blanks so that no typed
// text can start a header of its own; text that cannot stand as plain
// ASCII goes into UTF-8 encoded words, folded to short lines.
QByteArray encodeSubject(const QString &subject);

} // namespace brevant
