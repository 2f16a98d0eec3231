#pragma once

#include <QByteArrayView>

namespace brevant {

// What a run of bytes is as text.
enum class TextBytes {
    Ascii,     // every byte below 0x80
    Utf8,      // valid UTF-8 with at least one byte above 0x7F
    Other,     // bytes that are not UTF-8
};

// Checks bytes against the rules of UTF-8: no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut short.
TextBytes classifyText(QByteArrayView bytes);

// The same check of bytes that come a part at a time (a file as it is
// written), with a sequence free to run on from one part into the next.
class Utf8Check {
public:
    void add(QByteArrayView part);
    // What the parts added so far are, taken together.
    TextBytes result() const;

private:
    unsigned char m_carry[4] = {};   // the start of a sequence the last part cut
    qsizetype m_carried = 0;
    bool m_high = false;
    bool m_other = false;
};

// The byte-order mark UTF-8 files may start with.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

} // namespace brevant
