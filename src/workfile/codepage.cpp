#include "workfile/codepage.h"

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

const char16_t *plainRunEnd(const char16_t *p, const char16_t *end)
{
#if defined(__SSE2__)
    const auto is = [](__m128i units, char16_t u) { return _mm_cmpeq_epi16(units, _mm_set1_epi16(short(u))); };
    const auto masked = [](__m128i units, char16_t mask) { return _mm_and_si128(units, _mm_set1_epi16(short(mask))); };
    while (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // Below 0x100 and not from 0x80 to 0x9F.
        const __m128i ownByte = _mm_andnot_si128(is(masked(units, 0xFFE0), 0x80), is(masked(units, 0xFF00), 0));
        const __m128i changed = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(is(units, u'\n'), is(units, u'\r')), _mm_or_si128(is(units, u'&'), is(units, u'<'))),
            _mm_or_si128(is(units, u'>'), is(units, u'"')));
        // Two mask bits per unit.
        const unsigned plain = unsigned(_mm_movemask_epi8(_mm_andnot_si128(changed, ownByte)));
        if (plain != 0xFFFF)
            return p + std::countr_one(plain) / 2;
        p += 8;
    }
#endif
    while (p != end && isPlain(*p))
        ++p;
    return p;
}

} // namespace brevant::cp1252
