#include "ui/responseaids.h"

#include "ui/widgets.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace brevant {

ResponseCounter::ResponseCounter(QTextDocument *document)
    : QObject(document), m_document(document),
      m_totals(std::make_shared<ResponseBlockData::Totals>())
{
    connect(document, &QTextDocument::contentsChange, this, &ResponseCounter::contentsChange);
    recountAll();
}

TextCount ResponseCounter::count() const
{
    return {m_totals->words, m_totals->characters};
}

bool ResponseCounter::isEmpty() const
{
    return m_document->characterCount() <= 1;
}

// Brings a paragraph's share of the totals up to date.
static void recount(const QTextBlock &block, const std::shared_ptr<ResponseBlockData::Totals> &totals)
{
    ResponseBlockData *data = ResponseBlockData::of(block);
    if (data->totals != totals || data->generation != totals->generation) {
        data->totals = totals;
        data->generation = totals->generation;
        data->words = 0;
        data->characters = 0;
    }
    const TextCount now = countText(block.text());
    totals->words += now.words - data->words;
    totals->characters += now.characters - data->characters;
    data->words = now.words;
    data->characters = now.characters;
}

void ResponseCounter::recountAll()
{
    // Paragraphs counted before belong to the old generation: their shares
    // are no longer in the totals.
    ++m_totals->generation;
    m_totals->words = 0;
    m_totals->characters = 0;
    for (QTextBlock b = m_document->begin(); b.isValid(); b = b.next())
        recount(b, m_totals);
}

void ResponseCounter::setShown(bool shown)
{
    m_shown = shown;
    if (shown)
        refresh();
}

void ResponseCounter::refresh()
{
    if (!m_stale)
        return;
    m_stale = false;
    recountAll();
    emit changed();
}

void ResponseCounter::contentsChange(int position, int removed, int added)
{
    const int length = m_document->characterCount();
    if (m_stale)
        return;
    if (position == 0 && added >= length - 1 && removed > 0) {
        // A whole new text (Load, or replacing everything).
        if (!m_shown) {
            m_stale = true;
            return;
        }
        recountAll();
    } else {
        // The paragraphs the edit spans now; those it removed took their
        // shares with them.
        const QTextBlock last = m_document->findBlock(std::min(position + added, length - 1));
        for (QTextBlock b = m_document->findBlock(position); b.isValid(); b = b.next()) {
            recount(b, m_totals);
            if (b == last)
                break;
        }
    }
    emit changed();
}

CountLine::CountLine(QPlainTextEdit *box, ResponseCounter *counter, QWidget *parent)
    : QWidget(parent), m_box(box), m_counter(counter)
{
    QFont small = regularFont();
    small.setPointSizeF(7.5);
    setFont(small);
    QPalette grey = palette();
    grey.setColor(QPalette::WindowText, grey.color(QPalette::PlaceholderText));
    setPalette(grey);
    // The line keeps its height while it is blank, so the page does not move.
    setFixedHeight(fontMetrics().height());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_describe.setSingleShot(true);
    m_describe.setInterval(1000);
    connect(&m_describe, &QTimer::timeout, this, &CountLine::describe);
    connect(m_counter, &ResponseCounter::changed, this, &CountLine::recount);
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(120);
    connect(&m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QSize CountLine::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("000000 words, 0000000 characters")),
            fontMetrics().height()};
}

void CountLine::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

void CountLine::showEvent(QShowEvent *event)
{
    m_counter->setShown(true);
    // What the count was before the line was made or shown.
    recount();
    QWidget::showEvent(event);
}

void CountLine::hideEvent(QHideEvent *event)
{
    m_counter->setShown(false);
    QWidget::hideEvent(event);
}

void CountLine::recount()
{
    QString now = m_counter->isEmpty() ? QString() : countLine(m_counter->count());
    if (now == m_text)
        return;
    m_text = std::move(now);
    if (!m_repaint.isActive())
        m_repaint.start();
    m_describe.start();
}

void CountLine::describe()
{
    m_describe.stop();
    if (m_box->accessibleDescription() != m_text)
        m_box->setAccessibleDescription(m_text);
}

} // namespace brevant
