// The Windows-1252 codec on arbitrary bytes, and on the same bytes read as
// UTF-16 text.
#include "fuzzcheck.h"
#include "workfile/codepage.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace brevant;

namespace {

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Encoding one character at a time from the table: a surrogate pair is one
// character and gives one '?'.
QByteArray encodeSlowly(QStringView text, bool crlf)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (crlf && u == u'\n') {
            out += "\r\n";
            continue;
        }
        if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1].unicode())) {
            out += '?';
            ++i;
            continue;
        }
        const int b = cp1252::fromUnicode(u);
        out += b < 0 ? '?' : char(b);
    }
    return out;
}

// Decoding one byte at a time; with lineEnds, CR LF and a lone CR give '\n'.
QString decodeSlowly(const uint8_t *data, size_t size, bool lineEnds)
{
    QString out;
    for (size_t i = 0; i < size; ++i) {
        if (lineEnds && data[i] == '\r') {
            if (i + 1 < size && data[i + 1] == '\n')
                ++i;
            out += u'\n';
            continue;
        }
        out += QChar(cp1252::toUnicode(data[i]));
    }
    return out;
}

qsizetype firstUnmappableSlowly(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1].unicode()))
            return i;
        if (cp1252::fromUnicode(u) < 0)
            return i;
    }
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every byte is a character, and the way back gives every byte string
    // unchanged.
    const QString text = cp1252::decode(bytes);
    FUZZ_CHECK(text.size() == qsizetype(size));
    FUZZ_CHECK(text == decodeSlowly(data, size, false));
    FUZZ_CHECK(cp1252::encode(text) == QByteArray(bytes.data(), bytes.size()));
    FUZZ_CHECK(cp1252::findUnmappable(text).position == -1);

    // With line ends: the fast path agrees with the byte-by-byte one.
    std::vector<char16_t> buffer(size + 1);
    const char16_t *end = cp1252::decodeTo(buffer.data(), bytes, true);
    const QString withLineEnds = QString::fromUtf16(buffer.data(), end - buffer.data());
    FUZZ_CHECK(withLineEnds == decodeSlowly(data, size, true));

    // The same bytes as UTF-16 text: anything the code page cannot hold
    // becomes '?', everything else its byte.
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), data, units.size() * 2);
    const QStringView unicode(units.data(), qsizetype(units.size()));
    FUZZ_CHECK(cp1252::encode(unicode) == encodeSlowly(unicode, false));
    std::vector<char> out(units.size() * 2 + 1);
    const char *outEnd = cp1252::encodeTo(out.data(), unicode, true);
    FUZZ_CHECK(QByteArray(out.data(), outEnd - out.data()) == encodeSlowly(unicode, true));

    const cp1252::Unmappable first = cp1252::findUnmappable(unicode);
    FUZZ_CHECK(first.position == firstUnmappableSlowly(unicode));
    if (first.position >= 0) {
        FUZZ_CHECK(first.length == 1 || first.length == 2);
        const char16_t u = unicode[first.position].unicode();
        FUZZ_CHECK(first.character
                   == (first.length == 2 ? QChar::surrogateToUcs4(u, unicode[first.position + 1].unicode())
                                         : char32_t(u)));
    }
    return 0;
}
