#pragma once

#include "document/documentengine.h"
#include "document/reportmodel.h"

#include <QByteArray>
#include <QString>

namespace brevant {

// The report as an OpenDocument Text file (.odt), written from the
// report's model as the Word document is: the design's masthead on its
// ground at the top of the first page, the parts and sections of the
// policy as headings with their outline levels in styles of their own (so
// that a word processor's navigator and table of contents find them), the
// statements and responses as paragraphs, each response exactly as typed
// with its runs of blanks, tabs and line breaks. The styles in the
// design's colours and faces; the page size of the locale (or the one
// chosen), margins of 2 cm, on every page a footer with the date and
// "Page N of M" as fields; the title, program and language in its
// properties. Every part is dated options.made, so the same report made
// with SOURCE_DATE_EPOCH set is the same file byte for byte.
//
// Empty, with the reason in *error, when it could not be made.
// (Made in the document engine: setup gives the page size and creator.)
QByteArray odtReport(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                     QString *error);

} // namespace brevant
