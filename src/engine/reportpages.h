#pragma once

#include "document/reportmodel.h"
#include "engine/pangotext.h"
#include "engine/settext.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

namespace brevant {

// What a text of the report is in the document's structure.
enum class TextRole {
    Paragraph,     // P: the masthead's lines, a section's lead-in, a response with its label
    Title,         // H1: the report's title in the masthead
    Division,      // H2: a part of the policy
    Section,       // H3: a section of the policy
    Requirement,   // H4: the requirement's own statement, the heading of its response
};

// The structure type of a role: "P", "H1" ... "H4".
const char *roleTag(TextRole role);

// One paragraph of the report as it is set.
struct ReportText {
    TextRole role = TextRole::Paragraph;
    QByteArray text;            // UTF-8, as drawn
    TextFace face;
    quint32 color = 0;
    int labelBytes = 0;         // a response: its label, bold in labelColor, takes the first bytes
    quint32 labelColor = 0;
    double letterSpacing = 0;   // points
    int item = 0;               // 1..27 for the texts of an item, 0 for the masthead
};

// What a piece drawn on a page is: one of the texts (its index), the
// page's decoration or its footer.
enum : int { kDecoration = -1, kPageFooter = -2 };

// A heading where the outline leads to.
struct OutlineTarget {
    TextRole role;
    int item;
    QString text;   // its text on one line
    int page;       // 0 the first
    double y;       // the top of its first line, in points from the top of the page
};

// The report set in pages, as its design shows it: the masthead with the
// title on the first page, then each item's headings and response set off
// by the design's rule, on the page size given, inside margins of 2 cm,
// with the date and "Page N of M" in the foot of every page. Each line of
// a text is drawn once, on the page it falls on; a line break typed stays
// one. Units are points.
class ReportPages {
public:
    ReportPages(const Report &report, const DocumentOptions &options, QSizeF pagePoints);
    ~ReportPages();

    int pageCount() const { return int(m_pages.size()); }
    QSizeF pageSize() const { return m_pageSize; }
    const QList<ReportText> &texts() const { return m_texts; }
    const QList<OutlineTarget> &outline() const { return m_outline; }

    // Draws a page (0 the first) with its top left corner at the origin of
    // cr. Every piece is drawn inside a tag of its own: a text's lines in
    // that of its role, the decoration and the footer in "Private"; marks
    // (may be null) gets what each tag holds, in the order drawn: the
    // index of the text, kDecoration or kPageFooter.
    void draw(cairo_t *cr, int page, QList<int> *marks) const;

private:
    // A run of lines of one text on a page.
    struct Piece {
        int text;
        int firstLine;
        int lineCount;
        double x;
        double y;   // the top of the first line
    };
    struct Rule {
        QPointF from;
        QPointF to;
    };
    struct Page {
        QList<Piece> pieces;
        QList<Rule> rules;
        double sheetTop = 0;
        double sheetBottom = 0;
    };
    friend class PageFlow;

    void makeTexts(const Report &report);
    void drawDecoration(cairo_t *cr, int page) const;
    void drawFooter(cairo_t *cr, int page) const;

    PangoText m_pango;
    ReportStyle m_style;
    QString m_date;
    QSizeF m_pageSize;
    QRectF m_body;
    QRectF m_masthead;   // and the band under it, on the first page
    QRectF m_band;
    QList<ReportText> m_texts;
    QList<SetText> m_set;       // each text set in its lines
    QList<QList<int>> m_rows;   // the texts of each item's cell
    QList<Page> m_pages;
    QList<OutlineTarget> m_outline;
};

} // namespace brevant
