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

// The way back for the characters that are not their own byte: the
// (character, byte) pairs of the table, in the order of the characters.
using Pair = std::pair<char16_t, unsigned char>;
constexpr auto kEncode = [] {
    std::array<Pair, 32> pairs{};
    for (int b = 0x80; b < 0xA0; ++b)
        pairs[b - 0x80] = {kDecode[b], static_cast<unsigned char>(b)};
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}();

} // namespace

char16_t toUnicode(unsigned char b)
{
    return kDecode[b];
}

int fromUnicode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    const auto at = std::lower_bound(kEncode.begin(), kEncode.end(), c,
                                     [](const Pair &p, char32_t code) { return p.first < code; });
    return at != kEncode.end() && at->first == c ? at->second : -1;
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

// Copies the run of plain units (isPlain; below 0x80 too when ascii) from
// at on, each as its byte.
template <bool ascii>
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
        const __m128i changed = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(equalByte(bytes, '\n'), equalByte(bytes, '\r')),
                         _mm_or_si128(equalByte(bytes, '&'), equalByte(bytes, '<'))),
            _mm_or_si128(_mm_or_si128(equalByte(bytes, '>'), equalByte(bytes, '"')),
                         _mm_cmpeq_epi8(_mm_and_si128(bytes, c1), c1Start)));
        unsigned notPlain = unsigned(_mm_movemask_epi8(_mm_or_si128(changed, _mm_cmpeq_epi8(
                                                            _mm_cmpeq_epi8(high, zero), zero))));
        if constexpr (ascii)
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
    for (; at != end && isPlain(*at) && (!ascii || *at < 0x80); ++at)
        *p++ = char(*at);
    out = p;
    return at;
}

} // namespace

const char16_t *copyPlainRun(const char16_t *at, const char16_t *end, char *&out)
{
    return copyRun<false>(at, end, out);
}

const char16_t *copyAsciiRun(const char16_t *at, const char16_t *end, char *&out)
{
    return copyRun<true>(at, end, out);
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
