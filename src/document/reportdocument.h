#pragma once

#include "document/reportmodel.h"

#include <QByteArray>
#include <QImage>
#include <QLocale>
#include <QPageSize>

class QIODevice;

namespace brevant {

// Letter for the US customary measures, A4 for every other locale.
QPageSize::PageSizeId pageSizeFor(const QLocale &locale);

// The report as a tagged, accessible PDF (see engine/taggedpdf.h), made by
// the document engine (document/documentengine.h) from the same items and
// texts as the HTML report: the page size of the locale, margins of 2 cm,
// on every page a footer with the date and "Page N of M", its title (that
// of the page) and creator set, its text exactly as typed with the fonts
// embedded. Empty, with the reason in *error, when it could not be made.
QByteArray reportPdf(const Report &report, const DocumentOptions &options, QString *error = nullptr);
// The report as an OpenDocument Text file, laid out by Qt's text engine
// from the report's page (reportHtmlDocument): the same template, items,
// escaping and line breaks as the HTML report. The ODT keeps paragraphs,
// line breaks and tables, each response editable text exactly as typed
// (odttext.h). Empty, with the reason in *error, when it could not be made.
QByteArray reportOdt(const Report &report, QString *error = nullptr);

// The same, written to out, as the writers of the report's table
// (reportwriters.h) write.
// The report as a Word document (docxwriter.h), made by the document
// engine. Empty, with the reason in *error, when it could not be made.
QByteArray reportDocx(const Report &report, const DocumentOptions &options, QString *error = nullptr);
bool writeReportDocx(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);
bool writeReportPdf(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);
bool writeReportOdt(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error);

// A page of the PDF (0 the first) drawn by the same layout, width pixels
// wide on a white ground; a null image when there is no such page (or the
// document engine cannot be loaded).
QImage reportPagePicture(const Report &report, const DocumentOptions &options, int page, int width);

// The report as one HTML page for Qt's text engine: the HTML report's
// text, every character as typed.
QString reportHtmlDocument(const Report &report);

} // namespace brevant
