#pragma once

#include "document/documentengine.h"
#include "document/reportmodel.h"

#include <QByteArray>
#include <QString>

namespace brevant {

// The report as a Word document (Office Open XML, .docx), written from the
// report's model: the design's masthead shaded in its colour, the title in
// Word's Title style, the parts and sections of the policy in its Heading
// styles (so that Word's navigation, table of contents and accessibility
// check find them), the statements and responses as paragraphs, every
// line break typed a line break. The page size of the locale, margins of
// 2 cm, on every page a footer with the date and "Page N of M" as fields;
// the document's title, creator and language set.
//
// Empty, with the reason in *error, when it could not be made.
// (Made in the document engine: setup gives the page size and creator.)
QByteArray docxReport(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                      QString *error);

} // namespace brevant
