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
