#pragma once

// What the report's two word-processor documents, the Word document
// (docxwriter.h) and the OpenDocument Text file (odtwriter.h), share: the
// page, the language, the title block, the outline of the headings and
// the measures of the design that both set in their styles.

#include "document/reportmodel.h"

#include <QList>
#include <QLocale>
#include <QSizeF>
#include <QString>

namespace brevant::wordprocessing {

// The page: margins of 2 cm, the footer 1 cm from the foot of the page.
inline constexpr double kMarginMm = 20;
inline constexpr double kFooterMm = 10;

// The standard paper a page size in points is (A4, Letter), to the
// millimetre.
QSizeF pageMillimetres(const QSizeF &points);

// The document's language ("de-DE"), from the locale; "en-US" for C.
QString languageTag(const QLocale &locale);

// The report's title as the document's properties give it: one line.
QString documentTitle(const Report &report);

// A colour as six lower-case hexadecimal digits ("1b2a49").
QString rgbHex(ReportColor color);

// The design's first font family, without quotes ("Arial" when it names
// none).
QString firstFontFamily(const QString &families);

// What stands above the first item, in order: the design's masthead (the
// line above the title, the title, the line under it), those of its lines
// that hold more than blanks; the title is the page's when the masthead
// has none.
struct TitleLine {
    enum class Kind { Kicker, Title, Subtitle };
    Kind kind;
    QString text;
};
QList<TitleLine> titleBlock(const Report &report);

// The headings' outline levels, in the order of the report: a part of the
// policy 1, a section its level below the part ("5-1:3" one down, "5-2:2.1"
// two), never more than one below the heading before it, so that the
// outline has no gaps; lead-ins and statements 0, not headings.
inline constexpr int kHeadingLevels = 4;
class OutlineLevels {
public:
    int levelOf(const ReportHeading &heading);

private:
    int m_previous = 0;   // the title's
};

// The headings: larger than the body by these points and this far below
// what is above them, level 1 first.
inline constexpr double kHeadingLarger[kHeadingLevels] = {5, 3, 1.5, 0.5};
inline constexpr int kHeadingBefore[kHeadingLevels] = {18, 14, 12, 10};
// Below a statement, and below a response (points).
inline constexpr int kStatementAfter = 3;
inline constexpr int kResponseAfter = 14;
// The response's text this far from a rule along its left edge, the rule
// this far from it (points).
inline constexpr int kResponseIndent = 14;
inline constexpr int kLeftRuleSpace = 10;
inline constexpr int kBottomRuleSpace = 4;
// The footer, small and grey.
inline constexpr ReportColor kFooterColor = 0x555b63;
inline constexpr double kFooterPoints = 8;

// CSS pixels (1/96 inch) in points.
inline double pointsFromPx(double px) { return px * 0.75; }

} // namespace brevant::wordprocessing
