#pragma once

#include "document/documentengine.h"

#include <QImage>

namespace brevant {

// The report as a tagged, accessible PDF, set in pages by ReportPages and
// drawn with Cairo, then finished with QPDF (finishTaggedPdf): every text
// in the structure tree in reading order (the title H1 in the masthead,
// the parts of the policy H2, its sections H3, each requirement's
// statement H4, lead-ins and responses P), the decoration and the page
// footers as artifacts, the language of the locale, the title in the
// document's information and XMP metadata, shown in the viewer's title
// bar, and an outline of the parts, sections and the 27 requirements.
// Every font is embedded as a subset with a map to Unicode; no glyph
// stands for several letters. Empty, with the reason in *error, when it
// could not be made.
QByteArray taggedReportPdf(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                           QString *error);

// A page of that PDF (0 the first), drawn by the same layout on a picture
// width pixels wide, on a white ground; a null image when there is no
// such page.
QImage reportPageImage(const Report &report, const DocumentOptions &options, const DocumentSetup &setup, int page,
                       int width);

} // namespace brevant
