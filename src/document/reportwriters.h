#pragma once

#include "document/reportmodel.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace brevant {

// The formats the template window's Save writes.
enum class ReportFormat { Html, Pdf, Odt, Docx };

// One format of the report: how the Save dialog offers it, which names
// choose it, and its writer.
struct ReportWriter {
    ReportFormat format;
    QString kind;             // what it makes, for the user: "a PDF"
    QString label;            // the Save dialog's file type: "PDF Files (*.pdf)"
    QString pattern;          // the file type's pattern: "*.pdf"
    QStringList extensions;   // endings that choose it, lower case, without the dot
    // Made whole in memory before the file is touched (a document laid out
    // in pages); otherwise written to the file as it goes.
    bool madeWhole = true;
    // Writes the report to out. Returns false when the document could not
    // be made (with the reason in *error) or the device did not take every
    // byte (the device's errorString() says why); the device is handed
    // nothing after that.
    bool (*write)(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);
};

// Every writer, in the order of the Save dialog's file types; the first,
// HTML, is the one the dialog opens on.
const QList<ReportWriter> &reportWriters();
const ReportWriter &reportWriter(ReportFormat format);

// The Save dialog's filter: the file types of reportWriters() in order.
QString reportSaveFilter();
// The line that says what Save writes: "Save writes the report as a web
// page, a PDF, ... or a Word document, as the file type you choose in the
// Save dialog says."
QString reportTypesText();

// The writer for a name chosen in the Save dialog: a name ending in one
// of a writer's extensions, in any case of letters, decides it; any other
// name is written in the file type chosen in the dialog (filterIndex into
// reportWriters()). The name itself is used as typed.
const ReportWriter &reportWriterFor(const QString &path, int filterIndex);
ReportFormat reportFormatFor(const QString &path, int filterIndex);

// Writes the report to destination: a document is made whole before the
// file is touched, and the file is committed whole, so a failure leaves an
// earlier file as it was. On failure returns false with the reason alone
// (no path) in *reason.
bool writeReportFile(const ReportWriter &writer, const Report &report, const QString &destination,
                     const DocumentOptions &options, QString *reason);

// Reads the template, makes the report on it and writes it to destination.
// The template is read before the destination is touched, a document is
// made whole before it, and the file is committed whole, so a failure
// leaves an earlier file as it was. On failure returns false and sets
// error to a message for the user that names the path and the reason.
bool writeReport(ReportFormat format, const QString &templateFile, const QString &destination,
                 const QStringList &responses, const DocumentOptions &options, QString *error);

} // namespace brevant
