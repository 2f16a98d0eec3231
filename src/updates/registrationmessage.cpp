#include "updates/registrationmessage.h"

#include <QLocale>

#include <algorithm>
#include <cstdlib>

namespace brevant {

namespace {

constexpr qsizetype kLineLimit = 78;          // recommended header line length
constexpr qsizetype kWordBytes = 42;          // UTF-8 bytes per encoded word (56 base64 chars)
constexpr qsizetype kBodyLineChars = 76;      // base64 characters per body line

// Plain text is kept only when a reader will see it unchanged: printable
// ASCII, single blanks between words, nothing that looks like an encoded
// word, and short enough for one line.
bool fitsPlain(const QString &text)
{
    if (text.isEmpty())
        return true;
    if (QByteArrayLiteral("Subject: ").size() + text.size() > kLineLimit)
        return false;
    if (text.front() == u' ' || text.back() == u' ' || text.contains(QLatin1String("  "))
        || text.contains(QLatin1String("=?")))
        return false;
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7e; });
}

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

QByteArray rfc5322Date(const QDateTime &date)
{
    const QLocale c = QLocale::c();
    const int offset = date.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                             .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return (c.toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zone).toLatin1();
}

} // namespace

RegistrationMessage RegistrationMessage::compose(const QString &name, const QString &email,
                                                 const QString &version)
{
    RegistrationMessage m;
    m.to = QString::fromUtf16(kRegistrationMailbox);
    m.subject = QStringLiteral("Registration Info from ") + name;
    m.body = QStringLiteral("Please Register me for product updates. My Name: ") + name
             + QStringLiteral(" ,My Email: ") + email + QStringLiteral(" ,Version No: ") + version;
    return m;
}

QByteArray encodeSubject(const QString &subject)
{
    QString text = subject;
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    if (fitsPlain(text))
        return text.toLatin1();

    // Encoded words of at most kWordBytes bytes, never cutting a character
    // apart, joined by folding white space that readers drop between words.
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min(start + kWordBytes, utf8.size());
        while (end < utf8.size() && end > start + 1 && isContinuation(utf8.at(end)))
            --end;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return out;
}

QByteArray RegistrationMessage::toMime(const QDateTime &date) const
{
    QByteArray out;
    out += "To: " + to.toUtf8() + "\r\n";
    out += "Subject: " + encodeSubject(subject) + "\r\n";
    out += "Date: " + rfc5322Date(date) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "\r\n";
    const QByteArray encoded = body.toUtf8().toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += kBodyLineChars)
        out += encoded.mid(i, kBodyLineChars) + "\r\n";
    return out;
}

} // namespace brevant
