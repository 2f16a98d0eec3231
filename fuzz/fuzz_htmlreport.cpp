// The HTML report writer: no byte of a response reaches the page unescaped,
// and nothing of a response is lost on the way.
//
// Input: the template's bytes up to the first zero byte, then the responses
// as UTF-16 (little endian), separated by U+0000; missing ones are empty.
#include "core/catalogue.h"
#include "document/htmlreport.h"
#include "fuzzcheck.h"
#include "io/codepage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstring>

using namespace brevant;

namespace {

// Where a response goes: right after this line, and up to the line that
// closes the item.
const QByteArray kBefore = "<br>Response: </b><i>\r\n";
const QByteArray kAfter = "\r\n</i><br><br></td></tr>";

// The template with every line end (CR LF, LF or CR) as CR LF, the last
// line ended too, an empty template as one empty line.
QByteArray templateLines(const QByteArray &t)
{
    QByteArray out;
    qsizetype i = 0;
    while (i < t.size()) {
        if (t[i] == '\r') {
            out += "\r\n";
            i += (i + 1 < t.size() && t[i + 1] == '\n') ? 2 : 1;
        } else if (t[i] == '\n') {
            out += "\r\n";
            ++i;
        } else {
            out += t[i++];
        }
    }
    if (t.isEmpty() || !(t.endsWith('\r') || t.endsWith('\n')))
        out += "\r\n";
    return out;
}

// A response as the page must show it: every line break one '\n', a
// broken surrogate pair the replacement character.
QString shownText(const QString &r)
{
    QString out;
    for (qsizetype i = 0; i < r.size(); ++i) {
        const char16_t u = r[i].unicode();
        if (u == u'\r') {
            if (i + 1 < r.size() && r[i + 1] == u'\n')
                ++i;
            out += u'\n';
        } else if (u == u'\n' || u == 0x2028 || u == 0x2029) {
            out += u'\n';
        } else if (QChar::isHighSurrogate(u) && i + 1 < r.size() && r[i + 1].isLowSurrogate()) {
            out += r[i];
            out += r[++i];
        } else if (QChar::isSurrogate(u)) {
            out += QChar(0xFFFD);
        } else {
            out += r[i];
        }
    }
    return out;
}

// Reads a response back from its bytes in the page. Markup may only be a
// line break or a character reference; anything else fails the check.
QString readBack(QByteArrayView s)
{
    QString out;
    qsizetype i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '<') {
            FUZZ_CHECK(s.sliced(i).startsWith("<br>\r\n"));
            out += u'\n';
            i += 6;
        } else if (c == '&') {
            const qsizetype semi = s.sliced(i).indexOf(';');
            FUZZ_CHECK(semi > 1);
            const QByteArrayView name = s.sliced(i + 1, semi - 1);
            if (name == "amp") {
                out += u'&';
            } else if (name == "lt") {
                out += u'<';
            } else if (name == "gt") {
                out += u'>';
            } else if (name == "quot") {
                out += u'"';
            } else {
                FUZZ_CHECK(name.size() >= 2 && name[0] == '#' && name.size() <= 8);
                char32_t code = 0;
                for (char d : name.sliced(1)) {
                    FUZZ_CHECK(d >= '0' && d <= '9');
                    code = code * 10 + char32_t(d - '0');
                }
                FUZZ_CHECK(code <= 0x10FFFF && !QChar::isSurrogate(code) && code != 0);
                // A reference stands only for what the code page cannot hold.
                FUZZ_CHECK(cp1252::fromUnicode(code) < 0);
                // Not QString::fromUcs4, which drops a U+FEFF as a byte order mark.
                if (QChar::requiresSurrogates(code)) {
                    out += QChar(QChar::highSurrogate(code));
                    out += QChar(QChar::lowSurrogate(code));
                } else {
                    out += QChar(char16_t(code));
                }
            }
            i += semi + 1;
        } else {
            // Nothing else that markup is made of, and no line end of its own.
            FUZZ_CHECK(c != '>' && c != '"' && c != '\r' && c != '\n');
            out += QChar(cp1252::toUnicode(static_cast<unsigned char>(c)));
            ++i;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const char *zero = static_cast<const char *>(std::memchr(bytes, 0, size));
    const QByteArray templateBytes(bytes, zero ? zero - bytes : qsizetype(size));
    QStringList responses;
    if (zero) {
        const size_t rest = size - size_t(zero + 1 - bytes);
        QList<char16_t> units(qsizetype(rest / 2));
        if (!units.isEmpty())
            std::memcpy(units.data(), zero + 1, size_t(units.size()) * 2);
        responses = QString::fromUtf16(units.constData(), units.size()).split(QChar(0));
        if (responses.size() > kItemCount)
            responses.resize(kItemCount);
    }

    const QByteArray page = reportBytes(templateBytes, responses);

    // The template comes first, line by line.
    const QByteArray head = templateLines(templateBytes);
    FUZZ_CHECK(templateHead(templateBytes) == head);
    FUZZ_CHECK(page.startsWith(head));

    // The table is the one written for empty responses, with each response
    // in its place and nothing anywhere else.
    static const QByteArray emptyTable = reportBytes(QByteArray(), QStringList()).sliced(2);
    QByteArrayView table = QByteArrayView(page).sliced(head.size());
    QByteArrayView skeleton(emptyTable);
    for (int item = 1; item <= kItemCount; ++item) {
        const qsizetype fixed = skeleton.indexOf(kBefore) + kBefore.size();
        FUZZ_CHECK(table.startsWith(skeleton.first(fixed)));
        table = table.sliced(fixed);
        skeleton = skeleton.sliced(fixed);
        const qsizetype end = table.indexOf(kAfter);
        FUZZ_CHECK(end >= 0);
        // The slot holds the response in page form, as every text of the
        // report is made, and that is the text as typed.
        FUZZ_CHECK(table.first(end) == htmlText(responses.value(item - 1)));
        FUZZ_CHECK(readBack(table.first(end)) == shownText(responses.value(item - 1)));
        table = table.sliced(end);
    }
    FUZZ_CHECK(table == skeleton);
    return 0;
}
