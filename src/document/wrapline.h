#pragma once

#include <QString>

namespace brevant {

class PrintSurface;

// Prints one text word-wrapped to the printable width, keeping its own line
// breaks, and ends the line. Words end at a space, a tab or a line feed; CR
// LF counts as one line feed, and any other character (a lone CR too) is part
// of a word. A word that would cross the right edge starts a new line, and a
// new page when that line would not fit; a word wider than a whole line is
// printed unbroken on a line of its own. Returns false as soon as a surface
// operation fails.
bool WrapLine(PrintSurface &surface, const QString &text);

} // namespace brevant
