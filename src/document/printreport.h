#pragma once

#include <QStringList>

namespace brevant {

class PrintSurface;

// Prints the report of the 27 items as one document on a surface that has
// begun, and ends the document. Each item: its headings and "Response" in
// bold, the response in italic, then a plain blank line. responses holds the
// 27 texts in catalogue order. Returns false as soon as the surface fails;
// the document is then left unfinished.
bool printQuestionnaireReport(PrintSurface &surface, const QStringList &responses);

} // namespace brevant
