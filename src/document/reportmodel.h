#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

namespace brevant {

// The report as every format writes it: the 27 items with the texts above
// each response, and the design's look, read once from the design's
// template. The HTML writer copies the template itself; the document
// writers lay the same content out on pages of their own.

// A text that stands above an item's response, in the order it is printed.
struct ReportHeading {
    enum class Kind {
        Division,    // a part of the policy: "5-1:0    A. DEPARTMENT DETERMINANTS"
        Section,     // a section of the policy: "5-1:1 Minimum Department Size"
        Lead,        // a section's lead-in text
        Statement,   // the requirement's own statement
    };
    Kind kind = Kind::Statement;
    QString text;
};

// One requirement of the report.
struct ReportItem {
    int number = 0;                   // 1..27, catalogue order
    QList<ReportHeading> headings;    // as printed above the response
    // As typed, every line break as '\n' (the web page's may keep a box's
    // U+2029 and U+2028, at which it breaks its lines as well).
    QString response;
};

// A colour as 0xRRGGBB.
using ReportColor = quint32;

// How one kind of text of the design looks.
struct ReportTextStyle {
    ReportColor color = 0x000000;
    double points = 10;
    bool bold = false;
    bool italic = false;
    double letterSpacing = 0;   // in CSS pixels (1/96 inch)
};

// The look of a design, as its template's style sheet gives it. What the
// style sheet leaves out keeps these values.
struct ReportStyle {
    QString fontFamilies = QStringLiteral("Arial, Helvetica, sans-serif");   // CSS list, first choice first
    ReportTextStyle body;                      // the page's text
    ReportColor pageColor = 0xffffff;          // around the sheet
    ReportColor sheetColor = 0xffffff;         // the sheet and its content
    ReportColor mastheadColor = 0x1b2a49;      // the masthead's ground
    ReportColor bandColor = 0x8d98ab;          // the band under the masthead
    double bandHeight = 5;                     // CSS pixels
    ReportTextStyle kicker{0xb9c4d8, 8.5, true};
    ReportTextStyle title{0xffffff, 21, true};
    ReportTextStyle subtitle{0xd7dde8, 9.5};
    ReportColor headingColor = 0x1b2a49;       // the texts above a response (bold)
    ReportColor responseColor = 0x3c4454;      // the responses (italic)
    // The rule that sets each item off: along its left edge or under it.
    enum class Rule { None, Left, Bottom };
    Rule rule = Rule::Bottom;
    double ruleWidth = 1;                      // CSS pixels
    bool ruleDashed = false;
    ReportColor ruleColor = 0xd3d8e0;
};

// The masthead of a design: the small line above the title, the title and
// the line under it.
struct ReportMasthead {
    QString kicker;
    QString title;
    QString subtitle;
};

struct Report {
    QString title;               // the page's title (its <title>); "Report" when it has none
    ReportMasthead masthead;
    ReportStyle style;
    QByteArray templateBytes;    // the template as read, for the HTML writer
    QList<ReportItem> items;     // the 27 items in catalogue order

    // The 27 responses in catalogue order.
    QStringList responses() const;
};

// The report on a template for these responses (catalogue order; missing
// ones count as empty).
Report makeReport(const QByteArray &templateBytes, const QStringList &responses);

// The design's look and masthead, from the template's style sheet and
// masthead (Windows-1252 text, character references decoded).
ReportStyle readReportStyle(const QByteArray &templateBytes);
ReportMasthead readReportMasthead(const QByteArray &templateBytes);
QString readReportTitle(const QByteArray &templateBytes);

// The paper a document is laid out on.
enum class Paper { A4, Letter };
// Letter where the US customary measures are used, A4 elsewhere.
Paper paperFor(const QLocale &locale);
// The paper's size in whole points, portrait.
QSizeF paperSize(Paper paper);

// When a document is made: SOURCE_DATE_EPOCH (seconds since 1970, UTC)
// when it is set, so that a report made again from the same responses is
// the same byte for byte; else now, in local time.
QDateTime documentTime();

// How a document of the report is set up.
struct DocumentOptions {
    // The paper follows the user's locale unless one is chosen.
    QLocale locale;
    std::optional<Paper> paper;
    // When the report was made: the documents' properties and the dates of
    // their parts.
    QDateTime made = documentTime();
    // The date the report was made, in the footer of every page.
    QDate date = made.date();
    // How many threads lay a document out: 0, as many as there are
    // processors (up to four); 1 where documents are made side by side
    // already, so that they do not take turns at the processors and the
    // memory of each thread's faces is not paid twice.
    int layoutThreads = 0;

    Paper pagePaper() const { return paper ? *paper : paperFor(locale); }
};

// The footer's date: "8 December 2026".
QString footerDate(const QDate &date);

// A text as the documents write it: every line break ("\r\n", '\r',
// '\n', U+2028, U+2029) as '\n', as the HTML report breaks its lines,
// and every character an XML document cannot hold (the control
// characters other than tab and line breaks, U+FFFE, U+FFFF, half of a
// surrogate pair) as U+FFFD, the replacement character, which shows
// where it stood. Everything else is kept as it is.
QString documentText(QStringView text);

} // namespace brevant
