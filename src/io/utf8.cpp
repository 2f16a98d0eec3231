#include "io/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevant {

TextBytes classifyText(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    bool high = false;
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
            return TextBytes::Other;
        }
        if (end - p < length || p[1] < low || p[1] > top)
            return TextBytes::Other;
        for (int i = 2; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return TextBytes::Other;
        }
        p += length;
    }
    return high ? TextBytes::Utf8 : TextBytes::Ascii;
}

} // namespace brevant
