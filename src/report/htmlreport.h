#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

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

// A control text as it goes into the page: "&", "<", ">" and '"' as
// entities, and every line break (CR LF, LF, CR, U+2028, U+2029) as "<br>"
// followed by CR LF, so the page shows what the user typed.
QString htmlText(QStringView text);

// The report table that follows the template: 168 entries, one for each
// line written after the template. Control texts are already in page form;
// an entry holding a line break brings its own extra lines into the file.
// responses: the 27 response texts in catalogue order (missing ones count
// as empty).
QStringList reportTableLines(const QStringList &responses);

// A response in page form and encoded, as encodeHtmlText(htmlText(text))
// gives it, made from its work-file bytes (see encodeResponse) instead of
// its text. Only for a text that holds no character outside the code page
// (the work-file bytes have lost those) and no CR right before a line
// break (a CR then a CR LF reads as two breaks).
QByteArray htmlFromWorkFileBytes(QByteArrayView bytes);

// The template as written at the top of the report: each of its lines
// followed by CR LF. Line ends may be CR LF, LF or CR; a last line without
// a line end gets one, and an empty template gives one empty line.
QByteArray templateHead(const QByteArray &templateBytes);

// Windows-1252 bytes of a text; a character the code page cannot hold is
// written as an HTML numeric character reference ("&#8364;" style).
QByteArray encodeHtmlText(QStringView text);

// The whole report file: the template head, then the table, every line
// ended by CR LF.
QByteArray reportBytes(const QByteArray &templateBytes, const QStringList &responses);

// Reads the template and writes the report to destination in one go. The
// template is read before the destination is touched and the report is
// committed whole, so a failure leaves an earlier file as it was. On
// failure returns false and sets error to a message for the user that
// names the path and the reason.
bool writeHtmlReport(const QString &templateFile, const QString &destination,
                     const QStringList &responses, QString *error);
// The same with the 27 responses already in page form and encoded.
bool writeHtmlReport(const QString &templateFile, const QString &destination,
                     const QList<QByteArray> &responsesHtml, QString *error);

// The catalogue's example responses, as the example pages show them.
QStringList exampleResponses();

} // namespace brevant
