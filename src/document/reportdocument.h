#pragma once

#include "document/documentengine.h"
#include "document/reportmodel.h"

#include <QByteArray>

class QIODevice;

namespace brevant {

// What the program decides of a document for these options: the paper's
// size, and itself as the creator.
DocumentSetup documentSetup(const DocumentOptions &options);

// The report as a tagged, accessible PDF (see engine/taggedpdf.h), made by
// the document engine (document/documentengine.h) from the same items and
// texts as the HTML report: the page size of the options, margins of 2 cm,
// on every page a footer with the date and "Page N of M", its title (that
// of the page) and creator set, its text exactly as typed with the fonts
// embedded. Empty, with the reason in *error, when it could not be made.
QByteArray reportPdf(const Report &report, const DocumentOptions &options, QString *error = nullptr);
// The report as an OpenDocument Text file, made by the document engine,
// each response editable text exactly as typed. Empty, with the reason in
// *error, when it could not be made.
QByteArray reportOdt(const Report &report, const DocumentOptions &options, QString *error = nullptr);
// The report as a Word document (engine/docxwriter.h), made by the document
// engine. Empty, with the reason in *error, when it could not be made.
QByteArray reportDocx(const Report &report, const DocumentOptions &options, QString *error = nullptr);

// The same, written to out, as the writers of the report's table
// (reportwriters.h) write.
bool writeReportDocx(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);
bool writeReportPdf(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);
bool writeReportOdt(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);

} // namespace brevant
