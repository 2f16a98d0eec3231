#pragma once

#include <QtGlobal>

namespace brevant {

// Windows-1252, the 8-bit code page of work files and of the HTML report.
//
// Every byte decodes to one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the control
// characters of the same number, so decoding and encoding again gives back
// every byte string unchanged.
namespace cp1252 {

// The character for a byte.
char16_t toUnicode(unsigned char b);
// The byte for a character, or -1 when the code page has none: the same
// table read the other way.
int fromUnicode(char32_t c);

// Whether both writers put the unit in a file as it stands: its own byte
// in the code page (below 0x80, or from 0xA0 to 0xFF) and not a line break
// or a character of markup (\n \r & < > ").
constexpr bool isPlain(char16_t u)
{
    return (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) && u != u'\n' && u != u'\r' && u != u'&'
        && u != u'<' && u != u'>' && u != u'"';
}

// Copies the run of plain units from at on, each as its byte, to out and
// returns where the run ends (end when all are plain). out needs room for
// end - at bytes. Text is mostly such runs; sixteen units are looked at and
// copied together where the processor allows, as the Save and HTML report
// rows of the benchmark need.
const char16_t *copyPlainRun(const char16_t *at, const char16_t *end, char *&out);
// The same for text where only line feeds need care: every unit that is
// its own byte in the code page but '\n' (a work file in Windows-1252).
const char16_t *copyLineRun(const char16_t *at, const char16_t *end, char *&out);
// The same for a UTF-8 file: every unit below 0x80 but '\n'.
const char16_t *copyAsciiLineRun(const char16_t *at, const char16_t *end, char *&out);

// The end of the run of units from p on that the code page holds as their
// own byte (below 0x80, or from 0xA0 to 0xFF), eight at a time where the
// processor allows.
const char16_t *ownByteRunEnd(const char16_t *p, const char16_t *end);

} // namespace cp1252

// A character of a UTF-16 text and how many units it takes: a surrogate
// pair is one character of two units, a lone surrogate one of its own.
struct Character {
    char32_t code = 0;
    int units = 1;
};

// The character that starts at p; p is before end.
inline Character characterAt(const char16_t *p, const char16_t *end)
{
    const char16_t u = *p;
    if (u >= 0xD800 && u <= 0xDBFF && p + 1 != end && p[1] >= 0xDC00 && p[1] <= 0xDFFF)
        return {char32_t(0x10000 + ((u - 0xD800) << 10) + (p[1] - 0xDC00)), 2};
    return {u, 1};
}

} // namespace brevant
