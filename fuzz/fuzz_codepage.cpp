// The code page through the work-file writer and reader: decoding and
// encoding again gives every byte string back, and the writer and Save's
// check agree with the table character by character.
#include "fuzzcheck.h"
#include "questionnaire/catalogue.h"
#include "io/codepage.h"
#include "workfile/workfileformat.h"

#include <QString>
#include <QStringList>

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

// The text encoded one character at a time from the table: '\n' as CR LF,
// '?' for anything else the table lacks, a surrogate pair one character.
QByteArray encodeSlowly(QStringView text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\n') {
            out += "\r\n";
        } else if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1].unicode())) {
            out += '?';
            ++i;
        } else {
            const int b = cp1252::fromUnicode(u);
            out += b < 0 ? '?' : char(b);
        }
    }
    return out;
}

// The characters the table lacks, each once, in order of appearance.
QList<char32_t> unstorableSlowly(QStringView text)
{
    QList<char32_t> found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (isHigh(char16_t(c)) && i + 1 < text.size() && isLow(text[i + 1].unicode()))
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        if (cp1252::fromUnicode(c) < 0 && !found.contains(c))
            found << c;
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray rest = emptyRest();

    // The bytes as the first response of a work file, without the line
    // ends and the percent signs that belong to the format: read, they give
    // one character a byte, all of them storable, and written again they
    // give the same file.
    QByteArray bytes;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n' && data[i] != '%')
            bytes += char(data[i]);
    }
    const QByteArray file = bytes + rest;
    const WorkFileContents read = parseWorkFile(file);
    FUZZ_CHECK(read.complete() && read.responses.first().size() == bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        FUZZ_CHECK(read.responses.first().at(i).unicode() == cp1252::toUnicode(uchar(bytes[i])));
    FUZZ_CHECK(unstorableCharacters(read.responses).isEmpty());
    FUZZ_CHECK(TextToFile(read.responses) == file);

    // The same input as UTF-16 text: the writer gives the table's byte for
    // each character and '?' for the rest, and Save's check names exactly
    // the characters that became '?'.
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), data, units.size() * 2);
    const QString text = QString::fromUtf16(units.data(), qsizetype(units.size()));
    FUZZ_CHECK(TextToFile(QStringList{text}) == encodeSlowly(text) + rest);
    const QList<UnstorableCharacters> unstorable = unstorableCharacters({text});
    const QList<char32_t> expected = unstorableSlowly(text);
    FUZZ_CHECK(unstorable.isEmpty() == expected.isEmpty());
    if (!expected.isEmpty())
        FUZZ_CHECK(unstorable.first().item == 1 && unstorable.first().characters == expected);
    return 0;
}
