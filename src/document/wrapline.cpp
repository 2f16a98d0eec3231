#include "document/wrapline.h"

#include "document/printsurface.h"

namespace brevant {

namespace {

// Puts one word at the print position, after moving it to the next line (and
// page) when it would cross the right edge. Only the word itself is measured;
// a word that ends exactly at the edge stays.
bool placeWord(PrintSurface &surface, QStringView word)
{
    if (surface.currentX() + surface.textWidth(word) > surface.printableWidth()) {
        if (!surface.endLine())
            return false;
        if (surface.currentY() + surface.textHeight(word) > surface.printableHeight()
            && !surface.newPage())
            return false;
    }
    return word.isEmpty() || surface.printText(word);
}

} // namespace

bool WrapLine(PrintSurface &surface, const QString &text)
{
    QString normalised = text;
    if (normalised.contains(QLatin1String("\r\n")))
        normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    // The pending word is a slice of the text, so nothing is copied per
    // character.
    const QStringView all(normalised);
    const qsizetype length = all.size();
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = all[i];
        if (c != u' ' && c != u'\t' && c != u'\n')
            continue;
        if (!placeWord(surface, all.sliced(wordStart, i - wordStart)))
            return false;
        // A line feed ends the line after the word, also after a word that
        // was just moved to a new line, so words never run together.
        const bool ok = c == u'\n' ? surface.endLine() : surface.printText(all.sliced(i, 1));
        if (!ok)
            return false;
        wordStart = i + 1;
    }
    const QStringView last = all.sliced(wordStart);
    if (!last.isEmpty() && !placeWord(surface, last))
        return false;
    return surface.endLine();
}

} // namespace brevant
