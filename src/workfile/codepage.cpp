#include "workfile/codepage.h"

#include <QSet>

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    switch (c) {
    case 0x20AC: return 0x80;
    case 0x0081: return 0x81;
    case 0x201A: return 0x82;
    case 0x0192: return 0x83;
    case 0x201E: return 0x84;
    case 0x2026: return 0x85;
    case 0x2020: return 0x86;
    case 0x2021: return 0x87;
    case 0x02C6: return 0x88;
    case 0x2030: return 0x89;
    case 0x0160: return 0x8A;
    case 0x2039: return 0x8B;
    case 0x0152: return 0x8C;
    case 0x008D: return 0x8D;
    case 0x017D: return 0x8E;
    case 0x008F: return 0x8F;
    case 0x0090: return 0x90;
    case 0x2018: return 0x91;
    case 0x2019: return 0x92;
    case 0x201C: return 0x93;
    case 0x201D: return 0x94;
    case 0x2022: return 0x95;
    case 0x2013: return 0x96;
    case 0x2014: return 0x97;
    case 0x02DC: return 0x98;
    case 0x2122: return 0x99;
    case 0x0161: return 0x9A;
    case 0x203A: return 0x9B;
    case 0x0153: return 0x9C;
    case 0x009D: return 0x9D;
    case 0x017E: return 0x9E;
    case 0x0178: return 0x9F;
    default: return -1;
    }
}

namespace {

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    return table;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

} // namespace

char16_t toUnicode(unsigned char b)
{
    return kDecode[b];
}

namespace {

// Runs of ASCII are copied eight bytes or four UTF-16 units at a time; the
// characters that need a look of their own stop a run.
constexpr quint64 kByteTops = 0x8080808080808080ull;
constexpr quint64 kByteOnes = 0x0101010101010101ull;
constexpr quint64 kUnitHighBits = 0xFF80FF80FF80FF80ull;
constexpr quint64 kUnitTops = 0x8000800080008000ull;
constexpr quint64 kUnitOnes = 0x0001000100010001ull;

// Whether a byte (a unit) of w is zero; w holds ASCII only.
bool hasZeroByte(quint64 w) { return ((w - kByteOnes) & ~w & kByteTops) != 0; }
bool hasZeroUnit(quint64 w) { return ((w - kUnitOnes) & ~w & kUnitTops) != 0; }

// The first byte at or after p that is not ASCII, or is a CR when stopAtCr.
const char *asciiRunEnd(const char *p, const char *end, bool stopAtCr)
{
    while (end - p >= 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        if ((w & kByteTops) || (stopAtCr && hasZeroByte(w ^ (kByteOnes * '\r'))))
            break;
        p += 8;
    }
    while (p != end && static_cast<unsigned char>(*p) < 0x80 && !(stopAtCr && *p == '\r'))
        ++p;
    return p;
}

// The first unit at or after p that is not ASCII, or is a LF when stopAtLf.
const char16_t *asciiRunEnd(const char16_t *p, const char16_t *end, bool stopAtLf)
{
    while (end - p >= 4) {
        quint64 w;
        std::memcpy(&w, p, 8);
        if ((w & kUnitHighBits) || (stopAtLf && hasZeroUnit(w ^ (kUnitOnes * '\n'))))
            break;
        p += 4;
    }
    while (p != end && *p < 0x80 && !(stopAtLf && *p == u'\n'))
        ++p;
    return p;
}

bool isLatin1Direct(char16_t u)
{
    return u < 0x80 || (u >= 0xA0 && u <= 0xFF);
}

} // namespace

char16_t *decodeTo(char16_t *out, QByteArrayView bytes, bool lineEnds)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p != end) {
        const char *run = asciiRunEnd(p, end, lineEnds);
        for (; p != run; ++p)
            *out++ = char16_t(*p);
        if (p == end)
            break;
        const auto b = static_cast<unsigned char>(*p++);
        if (lineEnds && b == '\r') {
            if (p != end && *p == '\n')
                ++p;
            *out++ = u'\n';
        } else {
            *out++ = kDecode[b];
        }
    }
    return out;
}

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    decodeTo(reinterpret_cast<char16_t *>(text.data()), bytes, false);
    return text;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    appendEncoded(bytes, text);
    return bytes;
}

char *encodeTo(char *out, QStringView text, bool crlf)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p != end) {
        const char16_t *run = asciiRunEnd(p, end, crlf);
        for (; p != run; ++p)
            *out++ = char(*p);
        if (p == end)
            break;
        const char16_t u = *p++;
        if (u == u'\n') {
            *out++ = '\r';
            *out++ = '\n';
            continue;
        }
        if (isLatin1Direct(u)) {
            *out++ = char(u);
            continue;
        }
        if (isHighSurrogate(u) && p != end && isLowSurrogate(*p))
            ++p;   // one character, one '?'
        const int b = fromUnicode(u);
        *out++ = b < 0 ? '?' : char(b);
    }
    return out;
}

namespace {

// Writes the units from p on that are ASCII other than LF as bytes at out,
// eight at a time where the processor allows, and stops before the first
// other unit or at end.
void copyPlainRun(const char16_t *&p, const char16_t *end, char *&out)
{
#if defined(__SSE2__)
    const __m128i highBits = _mm_set1_epi16(short(0xFF80));
    const __m128i lineFeed = _mm_set1_epi16(u'\n');
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, highBits), zero);
        const __m128i plain = _mm_andnot_si128(_mm_cmpeq_epi16(units, lineFeed), ascii);
        const unsigned mask = unsigned(_mm_movemask_epi8(plain));
        if (mask == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
            p += 8;
            out += 8;
            continue;
        }
        // Two mask bits per unit: copy the plain units before the first other one.
        const int plainUnits = std::countr_zero(~mask) / 2;
        for (int i = 0; i < plainUnits; ++i)
            *out++ = char(p[i]);
        p += plainUnits;
        return;
    }
#endif
    for (; p != end && *p < 0x80 && *p != u'\n'; ++p)
        *out++ = char(*p);
}

} // namespace

char *encodeLinesTo(char *out, QStringView text, QList<char32_t> *unmappable)
{
    QSet<char32_t> seen;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p != end) {
        copyPlainRun(p, end, out);
        if (p == end)
            break;
        const char16_t u = *p++;
        if (u == u'\n' || u == 0x2029 || u == 0x2028) {
            *out++ = '\r';
            *out++ = '\n';
            continue;
        }
        if (isLatin1Direct(u)) {
            *out++ = char(u);
            continue;
        }
        char32_t c = u;
        if (isHighSurrogate(u) && p != end && isLowSurrogate(*p))
            c = QChar::surrogateToUcs4(u, *p++);
        const int b = c == u ? fromUnicode(u) : -1;
        if (b >= 0) {
            *out++ = char(b);
            continue;
        }
        *out++ = '?';
        if (unmappable && !seen.contains(c)) {
            seen.insert(c);
            unmappable->append(c);
        }
    }
    return out;
}

void appendEncoded(QByteArray &bytes, QStringView text)
{
    const qsizetype old = bytes.size();
    bytes.resize(old + text.size());   // at most one byte per UTF-16 unit
    char *end = encodeTo(bytes.data() + old, text, false);
    bytes.resize(end - bytes.constData());
}

Unmappable findUnmappable(QStringView text, qsizetype from)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    const char16_t *p = begin + from;
    while (p != end) {
        p = asciiRunEnd(p, end, false);
        if (p == end)
            break;
        const char16_t u = *p;
        const qsizetype i = p - begin;
        if (isHighSurrogate(u) && p + 1 != end && isLowSurrogate(p[1]))
            return {i, QChar::surrogateToUcs4(u, p[1]), 2};
        if (fromUnicode(u) < 0)
            return {i, char32_t(u), 1};
        ++p;
    }
    return {};
}

} // namespace brevant::cp1252
