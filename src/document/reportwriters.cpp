#include "document/reportwriters.h"

#include "document/htmlreport.h"
#include "document/reportdocument.h"
#include "io/files.h"

#include <QBuffer>
#include <QFileInfo>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

bool writeHtml(QIODevice &out, const Report &report, const DocumentOptions &, QString *)
{
    return writeHtmlReport(out, report.templateBytes, report.responses());
}

} // namespace

const QList<ReportWriter> &reportWriters()
{
    static const QList<ReportWriter> writers = {
        {ReportFormat::Html, u"a web page"_s, u"html Files (*.html)"_s, u"*.html"_s, {u"html"_s, u"htm"_s}, false, writeHtml},
        {ReportFormat::Pdf, u"a PDF"_s, u"PDF Files (*.pdf)"_s, u"*.pdf"_s, {u"pdf"_s}, true, writeReportPdf},
        {ReportFormat::Odt, u"an OpenDocument Text"_s, u"OpenDocument Text (*.odt)"_s, u"*.odt"_s, {u"odt"_s}, true, writeReportOdt},
        {ReportFormat::Docx, u"a Word document"_s, u"Word Document (*.docx)"_s, u"*.docx"_s, {u"docx"_s}, true, writeReportDocx},
    };
    return writers;
}

const ReportWriter &reportWriter(ReportFormat format)
{
    for (const ReportWriter &writer : reportWriters()) {
        if (writer.format == format)
            return writer;
    }
    return reportWriters().first();
}

QString reportSaveFilter()
{
    QStringList entries;
    for (const ReportWriter &writer : reportWriters())
        entries << writer.label << writer.pattern;
    return entries.join(u'|');
}

QString reportTypesText()
{
    QStringList kinds;
    for (const ReportWriter &writer : reportWriters())
        kinds << writer.kind;
    const QString last = kinds.takeLast();
    return u"Save writes the report as %1 or %2, as the file type you choose in the Save dialog says."_s.arg(
        kinds.join(u", "_s), last);
}

const ReportWriter &reportWriterFor(const QString &path, int filterIndex)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const ReportWriter &writer : reportWriters()) {
        if (writer.extensions.contains(suffix))
            return writer;
    }
    const QList<ReportWriter> &writers = reportWriters();
    return filterIndex >= 0 && filterIndex < writers.size() ? writers.at(filterIndex) : writers.first();
}

ReportFormat reportFormatFor(const QString &path, int filterIndex)
{
    return reportWriterFor(path, filterIndex).format;
}

bool writeReportFile(const ReportWriter &writer, const Report &report, const QString &destination,
                     const DocumentOptions &options, QString *reason)
{
    QString why;
    bool written = false;
    if (writer.madeWhole) {
        QByteArray document;
        QBuffer buffer(&document);
        buffer.open(QIODevice::WriteOnly);
        if (!writer.write(buffer, report, options, &why) || document.isEmpty()) {
            if (why.isEmpty())
                why = u"The document could not be laid out."_s;
        } else {
            written = writeFileSafely(destination, document, &why);
        }
    } else {
        // The same careful write as the work file's: a complete new file
        // or the old one, and a device such as /dev/null written to, never
        // replaced.
        written = writeFileSafely(
            destination, [&](QIODevice &out) { return writer.write(out, report, options, &why); }, &why);
    }
    if (!written && reason)
        *reason = why;
    return written;
}

bool writeReport(ReportFormat format, const QString &templateFile, const QString &destination,
                 const QStringList &responses, const DocumentOptions &options, QString *error)
{
    QByteArray templateBytes;
    if (!readReportTemplate(templateFile, &templateBytes, error))
        return false;
    QString reason;
    const bool written =
        writeReportFile(reportWriter(format), makeReport(templateBytes, responses), destination, options, &reason);
    if (!written && error)
        *error = reportNotSavedText(destination, reason);
    return written;
}

} // namespace brevant
