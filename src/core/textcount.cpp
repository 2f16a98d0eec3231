#include "core/textcount.h"

namespace brevant {

TextCount countText(QStringView text)
{
    TextCount count;
    bool inWord = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool lineBreak = u == u'\n' || u == u'\r' || u == 0x2028 || u == 0x2029;
        if (!lineBreak && !c.isLowSurrogate())
            ++count.characters;
        if (c.isSpace() || lineBreak) {
            inWord = false;
        } else if (!inWord && !c.isLowSurrogate()) {
            inWord = true;
            ++count.words;
        }
    }
    return count;
}

QString countLine(const TextCount &count)
{
    return (count.words == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(count.words))
        + QStringLiteral(", ")
        + (count.characters == 1 ? QStringLiteral("1 character")
                                 : QStringLiteral("%1 characters").arg(count.characters));
}

} // namespace brevant
