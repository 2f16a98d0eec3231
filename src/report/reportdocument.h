#pragma once

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <QStringList>

class QIODevice;

namespace brevant {

// What the template window's Save writes.
enum class ReportFormat { Html, Pdf, Odt };

// The Save dialog's file types, in this order; HTML, the first, is the
// one the dialog opens on.
QString reportSaveFilter();

// The format for a name chosen in the Save dialog: a name ending in .pdf or
// .odt (or .html, .htm) decides it, in any case of letters; any other name
// is written in the file type chosen in the dialog (filterIndex: 0 HTML,
// 1 PDF, 2 OpenDocument Text). The name itself is used as typed.
ReportFormat reportFormatFor(const QString &path, int filterIndex);

// How a document of the report is set up.
struct DocumentOptions {
    // The page size follows the user's locale: Letter where the US
    // customary measures are used, A4 elsewhere.
    QLocale locale;
    // The date the report was made, in the footer of every page.
    QDate date = QDate::currentDate();
};

// Letter for the US customary measures, A4 for every other locale.
QPageSize::PageSizeId pageSizeFor(const QLocale &locale);

// The footer's date: "8 December 2026".
QString footerDate(const QDate &date);

// The report as a PDF or an OpenDocument Text file, from the bytes of the
// HTML report (Windows-1252, as writeHtmlReport writes them), laid out by
// Qt's text engine: the same template, items, escaping and line breaks.
//
// The PDF has the page size of the locale, margins of 2 cm, on every page
// a footer with the date and "Page N of M", its title (that of the page)
// and creator set, and its text as text with the fonts embedded. Empty
// when it could not be made.
QByteArray reportPdf(const QByteArray &reportHtml, const DocumentOptions &options);
// The ODT keeps paragraphs, line breaks and tables, each response editable
// text. Empty when it could not be made.
QByteArray reportOdt(const QByteArray &reportHtml);

// The same, written to out. False when the document could not be made or
// the device did not take every byte; it is handed nothing after that.
bool writeReportPdf(QIODevice &out, const QByteArray &reportHtml, const DocumentOptions &options);
bool writeReportOdt(QIODevice &out, const QByteArray &reportHtml);

// A page of the PDF (0 the first) drawn by the same page painter, width
// pixels wide on a white ground; a null image when there is no such page.
QImage reportPagePicture(const QByteArray &reportHtml, const DocumentOptions &options, int page,
                         int width);

// Reads the template, makes the report on it as a PDF or an ODT and writes
// it to destination as writeHtmlReport does: the template is read and the
// document made before the destination is touched, and the file is
// committed whole, so a failure leaves an earlier file as it was. On
// failure returns false and sets error to a message for the user that
// names the path and the reason. format: Pdf or Odt.
bool writeReportDocument(ReportFormat format, const QString &templateFile, const QString &destination,
                         const QStringList &responses, const DocumentOptions &options, QString *error);

} // namespace brevant
