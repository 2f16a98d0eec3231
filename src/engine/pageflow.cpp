#include "engine/pageflow.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace brevant {

namespace {

constexpr double kPx = 0.75;                 // one CSS pixel in points
constexpr double kMargin = 20 / 25.4 * 72;   // 2 cm
// The masthead's padding (26px 36px 22px) and the title's margins (6px 0 4px).
constexpr double kMastheadTop = 26 * kPx;
constexpr double kMastheadBottom = 22 * kPx;
constexpr double kTitleAbove = 6 * kPx;
constexpr double kTitleBelow = 4 * kPx;
// The content's padding (18px 36px 30px) and a cell's (14px above, 4px
// below); a rule along the cell's left edge stands 14px before its text.
constexpr double kContentTop = 18 * kPx;
constexpr double kContentSide = 36 * kPx;
constexpr double kContentBottom = 30 * kPx;
constexpr double kCellTop = 14 * kPx;
constexpr double kCellBottom = 4 * kPx;
constexpr double kLeftRuleGap = 14 * kPx;
constexpr double kSlack = 0.01;

double leftRuleInset(const ReportStyle &style)
{
    return style.rule == ReportStyle::Rule::Left ? style.ruleWidth * kPx + kLeftRuleGap : 0;
}

bool isHeading(TextRole role)
{
    return role == TextRole::Division || role == TextRole::Section || role == TextRole::Requirement;
}

} // namespace

PageFlow::PageFlow(ReportPages &pages) : m_p(pages)
{
    const QSizeF size = m_p.m_pageSize;
    m_p.m_body = QRectF(kMargin, kMargin, size.width() - 2 * kMargin, size.height() - 2 * kMargin);
    m_top = m_p.m_body.top();
    m_bottom = m_p.m_body.bottom();
}

double PageFlow::textWidth(const ReportPages &pages, int text)
{
    const double content = pages.m_body.width() - 2 * kSheetInset - 2 * kContentSide;
    return pages.m_texts.at(text).item == 0 ? content : content - leftRuleInset(pages.m_style);
}

double PageFlow::textX(int text) const
{
    const double content = m_p.m_body.left() + kSheetInset + kContentSide;
    return m_p.m_texts.at(text).item == 0 ? content : content + leftRuleInset(m_p.m_style);
}

void PageFlow::run()
{
    m_p.m_pages = {ReportPages::Page{}};
    m_y = m_p.m_pages.last().sheetTop = m_top + kSheetInset;
    masthead();
    m_y += kContentTop;
    for (const QList<int> &texts : std::as_const(m_p.m_rows))
        row(texts);
    m_y += kContentBottom;
    m_p.m_pages.last().sheetBottom = std::min(m_y, m_bottom);
}

void PageFlow::setTexts(const QString &language, int threads)
{
    // The texts are set on every processor (each thread with Pango's font
    // map of its own), each thread taking the next one in turn.
    const qsizetype count = m_p.m_texts.size();
    m_p.m_set.resize(count);
    SetText *set = m_p.m_set.data();
    std::atomic<qsizetype> next = 0;
    const auto work = [&](const PangoText &pango) {
        for (qsizetype i = next++; i < count; i = next++) {
            const ReportText &t = m_p.m_texts.at(i);
            set[i] = SetText(pango, t.text, {t.face, textWidth(m_p, int(i)), t.color, t.labelBytes, t.labelColor,
                                             t.letterSpacing});
        }
    };
    // The helpers' threads stay a while after a document, and with them
    // the faces their font maps have loaded.
    static QThreadPool *const pool = new QThreadPool;
    const int helpers = (threads > 0 ? threads : std::min(QThread::idealThreadCount(), 4)) - 1;
    QSemaphore done;
    for (int i = 0; i < helpers; ++i) {
        pool->start([&] {
            work(PangoText(language));
            done.release();
        });
    }
    work(m_p.m_pango);
    done.acquire(std::max(helpers, 0));
}

QList<PageFlow::Line> PageFlow::setLines(int text)
{
    const SetText &set = m_p.m_set.at(text);
    QList<Line> lines;
    lines.reserve(set.lines().size());
    for (const SetText::Line &line : set.lines())
        lines << Line{line.top, line.height};
    return lines;
}

void PageFlow::masthead()
{
    const double top = m_y;
    m_y += kMastheadTop;
    for (int t = 0; t < m_p.m_texts.size() && m_p.m_texts.at(t).item == 0; ++t) {
        const bool title = m_p.m_texts.at(t).role == TextRole::Title;
        if (title)
            m_y += kTitleAbove;
        place(t, setLines(t), textX(t));
        if (title)
            m_y += kTitleBelow;
    }
    m_y += kMastheadBottom;
    const double left = m_p.m_body.left() + kSheetInset;
    const double width = m_p.m_body.width() - 2 * kSheetInset;
    m_p.m_masthead = QRectF(left, top, width, m_y - top);
    m_p.m_band = QRectF(left, m_y, width, m_p.m_style.bandHeight * kPx);
    m_y += m_p.m_band.height();
}

void PageFlow::row(const QList<int> &texts)
{
    QList<QList<Line>> lines;
    double need = kCellTop;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        lines << setLines(texts.at(i));
        // The headings and the first line of the response go together.
        if (i + 1 < texts.size()) {
            for (const Line &line : lines.last())
                need += line.height;
        } else {
            need += lines.last().first().height;
        }
    }
    if (m_y + need > m_bottom + kSlack && m_y > m_top + kSlack)
        newPage();

    const ReportStyle &style = m_p.m_style;
    if (style.rule == ReportStyle::Rule::Left)
        m_ruleFrom = m_y;
    m_y += kCellTop;
    for (qsizetype i = 0; i < texts.size(); ++i)
        place(texts.at(i), lines.at(i), textX(texts.at(i)));
    // The empty line after the response, then the cell's padding.
    m_y += lines.last().first().height + kCellBottom;

    const double width = style.ruleWidth * kPx;
    ReportPages::Page &page = m_p.m_pages.last();
    if (style.rule == ReportStyle::Rule::Bottom) {
        const double left = m_p.m_body.left() + kSheetInset + kContentSide;
        const double y = std::min(m_y + width / 2, m_bottom - width / 2);
        page.rules << ReportPages::Rule{{left, y}, {left + textWidth(m_p, texts.first()), y}};
        m_y += width;
    } else if (style.rule == ReportStyle::Rule::Left) {
        const double x = m_p.m_body.left() + kSheetInset + kContentSide + width / 2;
        page.rules << ReportPages::Rule{{x, m_ruleFrom}, {x, std::min(m_y, m_bottom)}};
        m_ruleFrom = -1;
    }
}

void PageFlow::place(int text, const QList<Line> &lines, double x)
{
    const ReportText &t = m_p.m_texts.at(text);
    qsizetype i = 0;
    while (i < lines.size()) {
        const qsizetype first = i;
        const double top = m_y;
        // A line taller than a whole page still goes on one.
        const bool atTop = m_y <= m_top + kCellTop + kSlack;
        while (i < lines.size() && (m_y + lines.at(i).height <= m_bottom + kSlack || (i == first && atTop))) {
            m_y += lines.at(i).height;
            ++i;
        }
        if (i > first) {
            m_p.m_pages.last().pieces << ReportPages::Piece{text, int(first), int(i - first), x, top};
            if (first == 0 && isHeading(t.role)) {
                m_p.m_outline << OutlineTarget{t.role, t.item, QString::fromUtf8(t.text).simplified(),
                                               int(m_p.m_pages.size() - 1), top};
            }
        }
        if (i < lines.size()) {
            newPage();
            m_y += kCellTop;
        }
    }
}

void PageFlow::newPage()
{
    closeLeftRule();
    m_p.m_pages.last().sheetBottom = m_bottom;
    ReportPages::Page next;
    next.sheetTop = m_top;
    m_p.m_pages << next;
    m_y = m_top;
    if (m_ruleFrom >= 0)
        m_ruleFrom = m_top;
}

void PageFlow::closeLeftRule()
{
    if (m_ruleFrom < 0)
        return;
    const double x = m_p.m_body.left() + kSheetInset + kContentSide + m_p.m_style.ruleWidth * kPx / 2;
    m_p.m_pages.last().rules << ReportPages::Rule{{x, m_ruleFrom}, {x, m_bottom}};
}

} // namespace brevant
