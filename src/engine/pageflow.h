#pragma once

#include "engine/reportpages.h"

namespace brevant {

// Sets the texts of a ReportPages in pages: sets every text in its lines
// once, then places the lines one by one down the page, so that a line goes to the
// next page whole and is never drawn on two. An item's cell starts on a
// new page when its headings and the first line of its response would not
// fit on this one. The boxes follow the design's style sheet, with one CSS
// pixel as 0.75 points.
class PageFlow {
public:
    // The page's ground shows this far around the sheet.
    static constexpr double kSheetInset = 24 * 0.75;

    explicit PageFlow(ReportPages &pages);
    // Sets every text in its lines, in the language given.
    // threads: how many set the texts (0: as many as the processors, up
    // to four).
    void setTexts(const QString &language, int threads);
    // Places them in pages.
    void run();

    // The width the text is set in.
    static double textWidth(const ReportPages &pages, int text);

private:
    struct Line {
        double top;
        double height;
    };
    // The boxes of a text's lines.
    QList<Line> setLines(int text);
    void masthead();
    void row(const QList<int> &texts);
    void place(int text, const QList<Line> &lines, double x);
    void newPage();
    void closeLeftRule();
    double textX(int text) const;

    ReportPages &m_p;
    double m_top;       // the top of the text area
    double m_bottom;    // its foot
    double m_y = 0;
    double m_ruleFrom = -1;   // where a rule along the left edge of the cell started on this page
};

} // namespace brevant
