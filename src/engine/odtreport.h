#pragma once

#include "document/documentengine.h"

#include <QByteArray>
#include <QString>

namespace brevant {

// The report as an OpenDocument Text file, laid out by Qt's text engine
// from the report's page (reportHtmlDocument): the same template, items,
// escaping and line breaks as the HTML report. The ODT keeps paragraphs,
// line breaks and tables, each response editable text exactly as typed
// (odttext.h). Empty, with the reason in *error, when it could not be made.
QByteArray odtReport(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                     QString *error);

// The report as one HTML page for Qt's text engine: the HTML report's
// text, every character as typed.
QString reportHtmlDocument(const Report &report);

} // namespace brevant
