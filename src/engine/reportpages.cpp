#include "engine/reportpages.h"

#include "engine/pageflow.h"

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// The footer: the date on the left, the page number on the right, 8 points
// in grey, its baseline 1 cm above the foot of the page.
constexpr double kFooterPoints = 8;
constexpr double kFooterFromBottom = 10 / 25.4 * 72;
constexpr quint32 kFooterColor = 0x555b63;

// A catalogue text as the page shows it: its lines kept, the runs of
// blanks within a line as one.
QString headingText(const QString &text)
{
    QStringList lines = QString::fromUtf8(layoutText(text)).split(u'\n');
    for (QString &line : lines)
        line = line.simplified();
    return lines.join(u'\n');
}

// A typed line break ends a line of the page, which the text of the PDF
// shows by position alone; readers that follow the structure would run the
// last word of the line into the first of the next. So a line that ends
// at a typed break ends with a blank, unless it ends with one already.
QByteArray blankBeforeBreaks(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + text.count('\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\n' && i > 0 && text.at(i - 1) != ' ' && text.at(i - 1) != '\t' && text.at(i - 1) != '\n')
            out += ' ';
        out += c;
    }
    return out;
}

TextRole roleOf(ReportHeading::Kind kind)
{
    switch (kind) {
    case ReportHeading::Kind::Division: return TextRole::Division;
    case ReportHeading::Kind::Section: return TextRole::Section;
    case ReportHeading::Kind::Statement: return TextRole::Requirement;
    case ReportHeading::Kind::Lead: break;
    }
    return TextRole::Paragraph;
}

} // namespace

const char *roleTag(TextRole role)
{
    switch (role) {
    case TextRole::Title: return "H1";
    case TextRole::Division: return "H2";
    case TextRole::Section: return "H3";
    case TextRole::Requirement: return "H4";
    case TextRole::Paragraph: break;
    }
    return "P";
}

ReportPages::ReportPages(const Report &report, const DocumentOptions &options, QSizeF pagePoints)
    : m_pango(options.locale.bcp47Name()), m_style(report.style), m_date(footerDate(options.date)),
      m_pageSize(pagePoints)
{
    makeTexts(report);
    PageFlow flow(*this);
    flow.setTexts(options.locale.bcp47Name(), options.layoutThreads);
    flow.run();
}

ReportPages::~ReportPages() = default;

void ReportPages::makeTexts(const Report &report)
{
    const ReportStyle &s = m_style;
    const auto faceOf = [&](const ReportTextStyle &t) {
        return TextFace{s.fontFamilies, t.points, t.bold, t.italic};
    };
    const auto masthead = [&](const QString &text, const ReportTextStyle &t, TextRole role) {
        if (text.trimmed().isEmpty())
            return;
        ReportText piece{role, layoutText(text), faceOf(t), t.color};
        piece.letterSpacing = t.letterSpacing * 0.75;
        m_texts << piece;
    };
    masthead(report.masthead.kicker, s.kicker, TextRole::Paragraph);
    // Every report has a title to lead its structure.
    masthead(report.masthead.title.trimmed().isEmpty() ? report.title : report.masthead.title, s.title,
             TextRole::Title);
    masthead(report.masthead.subtitle, s.subtitle, TextRole::Paragraph);

    const TextFace heading{s.fontFamilies, s.body.points, true, false};
    for (const ReportItem &item : report.items) {
        QList<int> row;
        bool afterLead = false;
        for (const ReportHeading &h : item.headings) {
            // The section's lead-in that opens the report stands in a cell
            // of its own, as in the HTML report.
            if (h.kind == ReportHeading::Kind::Section && afterLead && !row.isEmpty()) {
                m_rows << row;
                row.clear();
            }
            afterLead = h.kind == ReportHeading::Kind::Lead;
            const QString text = headingText(h.text);
            if (text.isEmpty())
                continue;
            row << int(m_texts.size());
            m_texts << ReportText{roleOf(h.kind), blankBeforeBreaks(text.toUtf8()), heading, s.headingColor, 0, 0, 0,
                                  item.number};
        }
        ReportText response{TextRole::Paragraph, "Response: "_ba, TextFace{s.fontFamilies, s.body.points, false, true},
                            s.responseColor};
        response.labelBytes = int(response.text.size());
        response.labelColor = s.headingColor;
        response.text += blankBeforeBreaks(layoutText(item.response));
        response.item = item.number;
        row << int(m_texts.size());
        m_texts << response;
        m_rows << row;
    }
}

void ReportPages::draw(cairo_t *cr, int index, QList<int> *marks) const
{
    if (index < 0 || index >= m_pages.size())
        return;
    const auto mark = [&](int what) {
        if (marks)
            *marks << what;
    };
    cairo_save(cr);
    cairo_tag_begin(cr, "Private", "");
    mark(kDecoration);
    drawDecoration(cr, index);
    cairo_tag_end(cr, "Private");

    for (const Piece &piece : m_pages.at(index).pieces) {
        const char *tag = roleTag(m_texts.at(piece.text).role);
        cairo_tag_begin(cr, tag, "");
        mark(piece.text);
        m_set.at(piece.text).drawLines(cr, piece.firstLine, piece.lineCount, piece.x, piece.y);
        cairo_tag_end(cr, tag);
    }

    cairo_tag_begin(cr, "Private", "");
    mark(kPageFooter);
    drawFooter(cr, index);
    cairo_tag_end(cr, "Private");
    cairo_restore(cr);
}

void ReportPages::drawDecoration(cairo_t *cr, int index) const
{
    const Page &page = m_pages.at(index);
    const ReportStyle &s = m_style;
    const auto fill = [&](const QRectF &r, quint32 color) {
        setColor(cr, color);
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
        cairo_fill(cr);
    };
    // The page's ground inside the margins, the sheet on it.
    fill(m_body, s.pageColor);
    const double inset = PageFlow::kSheetInset;
    fill(QRectF(m_body.left() + inset, page.sheetTop, m_body.width() - 2 * inset, page.sheetBottom - page.sheetTop),
         s.sheetColor);
    if (index == 0) {
        fill(m_masthead, s.mastheadColor);
        fill(m_band, s.bandColor);
    }
    if (page.rules.isEmpty() || s.rule == ReportStyle::Rule::None)
        return;
    const double width = s.ruleWidth * 0.75;
    setColor(cr, s.ruleColor);
    cairo_set_line_width(cr, width);
    if (s.ruleDashed) {
        const double dashes[] = {4 * width, 2 * width};
        cairo_set_dash(cr, dashes, 2, 0);
    }
    for (const Rule &rule : page.rules) {
        cairo_move_to(cr, rule.from.x(), rule.from.y());
        cairo_line_to(cr, rule.to.x(), rule.to.y());
    }
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

void ReportPages::drawFooter(cairo_t *cr, int index) const
{
    const TextFace face{u"Arial"_s, kFooterPoints, false, false};
    const double baseline = m_pageSize.height() - kFooterFromBottom;
    setColor(cr, kFooterColor);
    const auto show = [&](const QString &text, bool right) {
        const LayoutPtr layout = m_pango.layout(text.toUtf8(), face, 0);
        PangoRectangle logical;
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        const double width = double(logical.width) / PANGO_SCALE;
        const double ascent = double(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
        cairo_move_to(cr, right ? m_body.right() - width : m_body.left(), baseline - ascent);
        pango_cairo_show_layout(cr, layout.get());
    };
    show(m_date, false);
    show(u"Page %1 of %2"_s.arg(index + 1).arg(m_pages.size()), true);
}

} // namespace brevant
