#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class QIODevice;

namespace brevant {

// One of the three page designs of the HTML report.
struct ReportDesign {
    QString option;        // option button: ED, OM, GO
    QString caption;       // "Executive Delight" ...
    QString templatePath;  // relative to the program folder
    QString examplePath;   // relative to the program folder
};

// The designs in the order the options are tested: ED, OM, GO.
const QList<ReportDesign> &reportDesigns();

// A control text as it goes into the page, in Windows-1252: "&", "<", ">"
// and '"' as entities, every line break (CR LF, LF, CR, U+2028, U+2029) as
// "<br>" followed by CR LF, so the page shows what the user typed, and a
// character the code page cannot hold as a numeric character reference
// ("&#8364;" style; a lone surrogate as that of U+FFFD).
QByteArray htmlText(QStringView text);

// The template as written at the top of the report: each of its lines
// followed by CR LF. Line ends may be CR LF, LF or CR; a last line without
// a line end gets one, and an empty template gives one empty line.
QByteArray templateHead(const QByteArray &templateBytes);

// Writes the report to out: the template head, then the report table of
// 168 lines, each ended by CR LF, where every caption and response is in
// page form (see htmlText) and a response holding line breaks brings its
// own extra lines. responses: the 27 response texts in catalogue order
// (missing ones count as empty). Returns false when the device did not
// take every byte; it is handed nothing after that.
bool writeHtmlReport(QIODevice &out, const QByteArray &templateBytes, const QStringList &responses);
// The same bytes in memory.
QByteArray reportBytes(const QByteArray &templateBytes, const QStringList &responses);

// Reads a template file whole. On failure returns false and sets error
// to a message for the user that names the path and the reason.
bool readReportTemplate(const QString &templateFile, QByteArray *bytes, QString *error);
// The message for a report that could not be saved at path.
QString reportNotSavedText(const QString &path, const QString &reason);

// The catalogue's example responses, as the example pages show them.
QStringList exampleResponses();

} // namespace brevant
