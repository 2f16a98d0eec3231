#include "workfile/codepage.h"

#include <array>

namespace brevant::cp1252 {

namespace {

// 0x80..0x9F; the unassigned bytes stand for the control character of the
// same number.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

int fromUnicode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < int(kHigh.size()); ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

char16_t toUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
}

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (char b : bytes)
        *out++ = toUnicode(static_cast<unsigned char>(b));
    return text;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    appendEncoded(bytes, text);
    return bytes;
}

void appendEncoded(QByteArray &bytes, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(char(u));
            continue;
        }
        if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(text[i + 1].unicode()))
            ++i;   // one character, one '?'
        const int b = fromUnicode(u);
        bytes.append(b < 0 ? '?' : char(b));
    }
}

Unmappable findUnmappable(QStringView text, qsizetype from)
{
    const qsizetype n = text.size();
    for (qsizetype i = from; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(text[i + 1].unicode())) {
            const char32_t c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            return {i, c, 2};
        }
        if (fromUnicode(u) < 0)
            return {i, char32_t(u), 1};
    }
    return {};
}

} // namespace brevant::cp1252
