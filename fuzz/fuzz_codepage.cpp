// The encodings through the work-file writer and reader: decoding and
// encoding again gives every Windows-1252 byte string back, UTF-8 reads as
// UTF-8, and the writer agrees with the table character by character.
#include "core/catalogue.h"
#include "core/responsetext.h"
#include "core/workfileformat.h"
#include "fuzzcheck.h"
#include "io/codepage.h"

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace brevant;

namespace {

// What follows the first response of a work file when the others are empty.
QByteArray emptyRest()
{
    QByteArray rest = "\r\n";
    for (int i = 1; i < kItemCount; ++i)
        rest += "%%%%\r\n\r\n";
    return rest;
}

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Valid UTF-8 with a byte above 0x7F, by Qt's decoder: valid UTF-8, and
// only that, comes back byte for byte.
bool readsAsUtf8(const QByteArray &bytes)
{
    QStringDecoder toUtf16(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return QString(toUtf16(bytes)).toUtf8() == bytes
        && std::any_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) >= 0x80; });
}

bool isLineBreak(char16_t u) { return u == u'\n' || u == 0x2028 || u == 0x2029; }

// The text encoded one character at a time: a line break ('\n', or a
// box's U+2028 or U+2029) as CR LF, every other
// character by the table, or, when the table lacks one (a surrogate pair
// is one character), the whole text in UTF-8 with its mark, lone
// surrogates as U+FFFD.
QByteArray encodeSlowly(QStringView text, const QByteArray &rest)
{
    QByteArray out;
    bool lacking = false;
    for (qsizetype i = 0; i < text.size() && !lacking; ++i) {
        const char16_t u = text[i].unicode();
        if (isLineBreak(u)) {
            out += "\r\n";
            continue;
        }
        const int b = cp1252::fromUnicode(u);
        lacking = b < 0;
        out += QByteArray(1, char(b));
    }
    if (!lacking && !readsAsUtf8(out + rest))
        return out + rest;
    out = "\xEF\xBB\xBF";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isLineBreak(u)) {
            out += "\r\n";
        } else if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1].unicode())) {
            out += text.sliced(i, 2).toUtf8();
            ++i;
        } else {
            out += isHigh(u) || isLow(u) ? QByteArray("\xEF\xBF\xBD") : text.sliced(i, 1).toUtf8();
        }
    }
    return out + rest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray rest = emptyRest();

    // The bytes as the first response of a work file, without the line
    // ends and the percent signs that belong to the format. UTF-8 (with
    // its mark, or valid and not all ASCII) reads as UTF-8; anything else
    // gives one character a byte. Written again, the file reads back the
    // same; Windows-1252 gives the same bytes.
    QByteArray bytes;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n' && data[i] != '%')
            bytes += char(data[i]);
    }
    const QByteArray file = bytes + rest;
    const WorkFileContents read = parseWorkFile(file);
    FUZZ_CHECK(read.complete());
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    FUZZ_CHECK((read.encoding == WorkFileEncoding::Utf8) == (marked || readsAsUtf8(file)));
    if (read.encoding == WorkFileEncoding::Utf8) {
        QStringDecoder toUtf16(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        FUZZ_CHECK(read.responses.first() == QString(toUtf16(marked ? bytes.sliced(3) : bytes)));
    } else {
        FUZZ_CHECK(read.responses.first().size() == bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            FUZZ_CHECK(read.responses.first().at(i).unicode() == cp1252::toUnicode(uchar(bytes[i])));
        FUZZ_CHECK(TextToFile(read.responses) == file);
    }
    // Written again, a box's own line breaks (as Load puts U+2028 and
    // U+2029 of a UTF-8 file into it) come back as '\n'.
    QStringList again = read.responses;
    for (QString &text : again)
        text = withNewlines(text);
    FUZZ_CHECK(parseWorkFile(TextToFile(read.responses)).responses == again);

    // The same input as UTF-16 text: the writer gives the table's byte for
    // each character, or UTF-8 for the whole file when the table lacks one.
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), data, units.size() * 2);
    const QString text = QString::fromUtf16(units.data(), qsizetype(units.size()));
    FUZZ_CHECK(TextToFile(QStringList{text}) == encodeSlowly(text, rest));
    return 0;
}
