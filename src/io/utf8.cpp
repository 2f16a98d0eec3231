#include "io/utf8.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevant {

namespace {

// Checks the bytes from p to end against the rules of UTF-8 and returns
// where it stopped: end, or the start of a sequence that end cuts short;
// nullptr at bytes that are not UTF-8. high is set at a byte above 0x7F.
const unsigned char *scanUtf8(const unsigned char *p, const unsigned char *end, bool &high)
{
    while (p != end) {
#if defined(__SSE2__)
        // Prose is mostly ASCII: sixteen bytes at a time while they are.
        while (end - p >= 16 && _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p))) == 0)
            p += 16;
        if (p == end)
            break;
#endif
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        high = true;
        // The length of the sequence, and the range its second byte must
        // lie in (which rules out overlong forms, surrogates and code
        // points past U+10FFFF).
        int length = 0;
        unsigned char low = 0x80, top = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                top = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                top = 0x8F;
        } else {
            return nullptr;
        }
        if (end - p < length)
            return p;
        if (p[1] < low || p[1] > top)
            return nullptr;
        for (int i = 2; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return nullptr;
        }
        p += length;
    }
    return p;
}

} // namespace

TextBytes classifyText(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    bool high = false;
    if (scanUtf8(p, end, high) != end)
        return TextBytes::Other;
    return high ? TextBytes::Utf8 : TextBytes::Ascii;
}

void Utf8Check::add(QByteArrayView part)
{
    if (m_other || part.isEmpty())
        return;
    const auto *p = reinterpret_cast<const unsigned char *>(part.data());
    const auto *const end = p + part.size();
    if (m_carried > 0) {
        // The sequence cut at the end of the last part, completed by the
        // first bytes of this one (a sequence is at most four bytes).
        unsigned char joined[8];
        const qsizetype taken = std::min<qsizetype>(part.size(), 4);
        std::memcpy(joined, m_carry, size_t(m_carried));
        std::memcpy(joined + m_carried, p, size_t(taken));
        const unsigned char *const stop = scanUtf8(joined, joined + m_carried + taken, m_high);
        if (!stop) {
            m_other = true;
            return;
        }
        const qsizetype used = stop - joined;
        if (used < m_carried) {
            // Still cut short: the part was shorter than the sequence.
            m_carried = m_carried + taken - used;
            std::memmove(m_carry, joined + used, size_t(m_carried));
            return;
        }
        p += used - m_carried;
        m_carried = 0;
    }
    const unsigned char *const stop = scanUtf8(p, end, m_high);
    if (!stop) {
        m_other = true;
        return;
    }
    m_carried = end - stop;
    std::memcpy(m_carry, stop, size_t(m_carried));
}

TextBytes Utf8Check::result() const
{
    if (m_other || m_carried > 0)
        return TextBytes::Other;
    return m_high ? TextBytes::Utf8 : TextBytes::Ascii;
}

} // namespace brevant
