#include "io/codepage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevant::cp1252 {

namespace {

// The character of every byte: the same number, except for 0x80 to 0x9F,
// where the unassigned bytes stand for the control character of the same
// number.
constexpr std::array<char16_t, 256> kDecode = [] {
    constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b);
    return table;
}();

// The way back for the characters that are not their own byte, which
// all lie from U+0100 to U+02FF or from U+2000 to U+212F: the byte of
// each character of those two ranges, 0 where the code page has none.
constexpr char32_t kLowStart = 0x0100, kLowEnd = 0x0300, kHighStart = 0x2000, kHighEnd = 0x2130;
constexpr auto kEncodeLow = [] {
    std::array<unsigned char, kLowEnd - kLowStart> bytes{};
    for (int b = 0x80; b < 0xA0; ++b) {
        if (kDecode[b] >= kLowStart && kDecode[b] < kLowEnd)
            bytes[kDecode[b] - kLowStart] = static_cast<unsigned char>(b);
    }
    return bytes;
}();
constexpr auto kEncodeHigh = [] {
    std::array<unsigned char, kHighEnd - kHighStart> bytes{};
    for (int b = 0x80; b < 0xA0; ++b) {
        if (kDecode[b] >= kHighStart && kDecode[b] < kHighEnd)
            bytes[kDecode[b] - kHighStart] = static_cast<unsigned char>(b);
    }
    return bytes;
}();
// Every character of the table has its place in one of the two ranges.
static_assert([] {
    int placed = 0;
    for (unsigned char b : kEncodeLow)
        placed += b != 0;
    for (unsigned char b : kEncodeHigh)
        placed += b != 0;
    int own = 0;
    for (int b = 0x80; b < 0xA0; ++b)
        own += kDecode[b] == b;
    return placed + own == 32;
}());

} // namespace

char16_t toUnicode(unsigned char b)
{
    return kDecode[b];
}

int fromUnicode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    if (c >= kLowStart && c < kLowEnd)
        return kEncodeLow[c - kLowStart] ? kEncodeLow[c - kLowStart] : -1;
    if (c >= kHighStart && c < kHighEnd)
        return kEncodeHigh[c - kHighStart] ? kEncodeHigh[c - kHighStart] : -1;
    // The five unassigned bytes stand for the control character of their
    // own number.
    return c >= 0x80 && c < 0xA0 && kDecode[c] == c ? int(c) : -1;
}

#if defined(__SSE2__)
namespace {

__m128i equalByte(__m128i bytes, char b)
{
    return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b));
}

// All ones for the units below 0x100 and not from 0x80 to 0x9F.
__m128i ownBytes(__m128i units)
{
    const auto masked = [units](char16_t mask) { return _mm_and_si128(units, _mm_set1_epi16(short(mask))); };
    return _mm_andnot_si128(_mm_cmpeq_epi16(masked(0xFFE0), _mm_set1_epi16(0x80)),
                            _mm_cmpeq_epi16(masked(0xFF00), _mm_setzero_si128()));
}

// How many of the eight units lead with all ones in mask.
int leadingUnits(__m128i mask)
{
    // Two mask bits per unit.
    return std::countr_one(unsigned(_mm_movemask_epi8(mask))) / 2;
}

} // namespace
#endif

namespace {

// Which units end a run.
enum class Stops {
    Markup,        // all but isPlain
    LineFeeds,     // '\n' and the units that are not their own byte
    AsciiLines,    // '\n' and all from 0x80 on
};

template <Stops stops>
constexpr bool continuesRun(char16_t u)
{
    if constexpr (stops == Stops::Markup)
        return isPlain(u);
    else if constexpr (stops == Stops::LineFeeds)
        return (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) && u != u'\n';
    else
        return u < 0x80 && u != u'\n';
}

// Copies the run of units from at on that continue it, each as its byte.
template <Stops stops>
const char16_t *copyRun(const char16_t *at, const char16_t *end, char *&out)
{
    // In a local: a store through a char pointer could change out itself,
    // so the compiler would not keep it in a register.
    char *p = out;
#if defined(__SSE2__)
    // Sixteen units at a time: packed into their low bytes, with a unit of
    // 0x100 or more marked by its high byte.
    const __m128i zero = _mm_setzero_si128();
    const __m128i c1 = _mm_set1_epi8(char(0xE0));
    const __m128i c1Start = _mm_set1_epi8(char(0x80));
    while (end - at >= 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 8));
        const __m128i bytes = _mm_packus_epi16(first, second);
        const __m128i high = _mm_packus_epi16(_mm_srli_epi16(first, 8), _mm_srli_epi16(second, 8));
        __m128i changed = equalByte(bytes, '\n');
        if constexpr (stops == Stops::Markup) {
            changed = _mm_or_si128(
                _mm_or_si128(_mm_or_si128(changed, equalByte(bytes, '\r')),
                             _mm_or_si128(equalByte(bytes, '&'), equalByte(bytes, '<'))),
                _mm_or_si128(equalByte(bytes, '>'), equalByte(bytes, '"')));
        }
        if constexpr (stops != Stops::AsciiLines)
            changed = _mm_or_si128(changed, _mm_cmpeq_epi8(_mm_and_si128(bytes, c1), c1Start));
        unsigned notPlain = unsigned(_mm_movemask_epi8(_mm_or_si128(changed, _mm_cmpeq_epi8(
                                                            _mm_cmpeq_epi8(high, zero), zero))));
        if constexpr (stops == Stops::AsciiLines)
            notPlain |= unsigned(_mm_movemask_epi8(bytes));
        // All sixteen bytes are stored; the ones after a short run are
        // written over by what follows.
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), bytes);
        const int plain = notPlain ? std::countr_zero(notPlain) : 16;
        p += plain;
        at += plain;
        if (plain < 16) {
            out = p;
            return at;
        }
    }
#endif
    for (; at != end && continuesRun<stops>(*at); ++at)
        *p++ = char(*at);
    out = p;
    return at;
}

} // namespace

const char16_t *copyPlainRun(const char16_t *at, const char16_t *end, char *&out)
{
    return copyRun<Stops::Markup>(at, end, out);
}

const char16_t *copyLineRun(const char16_t *at, const char16_t *end, char *&out)
{
    return copyRun<Stops::LineFeeds>(at, end, out);
}

const char16_t *copyAsciiLineRun(const char16_t *at, const char16_t *end, char *&out)
{
    return copyRun<Stops::AsciiLines>(at, end, out);
}

const char16_t *ownByteRunEnd(const char16_t *p, const char16_t *end)
{
#if defined(__SSE2__)
    while (end - p >= 8) {
        const int own = leadingUnits(ownBytes(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p))));
        p += own;
        if (own < 8)
            return p;
    }
#endif
    while (p != end && (*p < 0x80 || (*p >= 0xA0 && *p <= 0xFF)))
        ++p;
    return p;
}

} // namespace brevant::cp1252
