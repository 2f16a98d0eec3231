#include "navigation/contentsentry.h"

#include "core/catalogue.h"
#include "ui/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kComplete = u"complete"_s;
constexpr int kPageStep = 8;

// Screen readers find the entries as the items of a list, each with a
// press action that does what Return does.
class ContentsEntryAccessible : public QAccessibleWidget {
public:
    explicit ContentsEntryAccessible(ContentsEntry *entry) : QAccessibleWidget(entry, QAccessible::ListItem) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = widget()->hasFocus();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<ContentsEntry *>(widget())->choose();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *contentsAccessible(const QString &className, QObject *object)
{
    if (className == "brevant::ContentsEntry"_L1)
        return new ContentsEntryAccessible(static_cast<ContentsEntry *>(object));
    if (className == "brevant::ContentsList"_L1)
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::List);
    return nullptr;
}

void installContentsAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(contentsAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

// The columns of an entry: number, section code, statement (what is left),
// words, state, review.
struct Columns {
    int number, code, words, state, review, gap;
    explicit Columns(const QFontMetrics &fm)
        : number(fm.horizontalAdvance(u"27"_s)), code(fm.horizontalAdvance(u"5-2:2.4"_s)),
          words(fm.horizontalAdvance(u"000000 words"_s)),
          state(fm.horizontalAdvance(u"no response yet, answer reads \"Yes\""_s)),
          review(fm.horizontalAdvance(u"changes requested, 00 open comments"_s)), gap(fm.horizontalAdvance(u"MM"_s))
    {
    }
};

} // namespace

ContentsList::ContentsList(QWidget *parent) : QWidget(parent)
{
    installContentsAccessible();
}

ContentsEntry::ContentsEntry(const QuestionnaireItem &item, QWidget *parent)
    : QWidget(parent), m_item(item.number), m_number(QString::number(item.number)), m_code(sectionCode(item)),
      m_statement(requirementName(item))
{
    installContentsAccessible();
    setObjectName(u"entry%1"_s.arg(item.number));
    setFont(regularFont());
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(item.statement.text);
}

void ContentsEntry::setState(const QString &words, const QString &state, const QString &review)
{
    if (words == m_words && state == m_state && review == m_review && !accessibleName().isEmpty())
        return;
    m_words = words;
    m_state = state;
    m_review = review;
    QStringList said{u"Requirement %1"_s.arg(m_item), state};
    if (!words.isEmpty())
        said << words;
    if (!review.isEmpty())
        said << review;
    said << u"section %1: %2"_s.arg(m_code, m_statement);
    setAccessibleName(said.join(u", "_s));
    update();
}

void ContentsEntry::choose()
{
    emit chosen(m_item);
}

QSize ContentsEntry::sizeHint() const
{
    const Columns c(fontMetrics());
    return {c.number + c.code + c.words + c.state + c.review + 6 * c.gap + fontMetrics().horizontalAdvance(u'x') * 48,
            fontMetrics().height() + 8};
}

void ContentsEntry::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool current = hasFocus();
    const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    if (current)
        p.fillRect(rect(), palette().brush(group, QPalette::Highlight));
    const QColor ink = palette().color(group, current ? QPalette::HighlightedText : QPalette::Text);
    const Columns c(fontMetrics());
    const int h = height();
    int x = c.gap / 2;
    p.setPen(ink);
    p.drawText(QRect(x, 0, c.number, h), Qt::AlignRight | Qt::AlignVCenter, m_number);
    x += c.number + c.gap / 2;
    p.drawText(QRect(x, 0, c.code, h), Qt::AlignLeft | Qt::AlignVCenter, m_code);
    x += c.code + c.gap / 2;
    const int reviewX = width() - c.gap / 2 - c.review;
    const int stateX = reviewX - c.gap / 2 - c.state;
    const int wordsX = stateX - c.gap / 2 - c.words;
    p.drawText(QRect(x, 0, wordsX - c.gap / 2 - x, h), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(m_statement, Qt::ElideRight, wordsX - c.gap / 2 - x));
    p.drawText(QRect(wordsX, 0, c.words, h), Qt::AlignRight | Qt::AlignVCenter, m_words);
    // The state in words; green where complete, red where not, when not
    // drawn on the highlight.
    if (!current)
        p.setPen(m_state == kComplete ? QColor(0x1e, 0x6b, 0x30) : QColor(0xa1, 0x26, 0x1c));
    p.drawText(QRect(stateX, 0, c.state, h), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(m_state, Qt::ElideRight, c.state));
    // The review: open comments stand out.
    if (!current)
        p.setPen(m_review.contains(u"open comment"_s) ? QColor(0x8a, 0x5a, 0x00) : ink);
    p.drawText(QRect(reviewX, 0, c.review, h), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(m_review, Qt::ElideRight, c.review));
}

void ContentsEntry::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void ContentsEntry::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        choose();
}

void ContentsEntry::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers others = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && others == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            choose();
        return;
    }
    // Here rather than in the window: the scroll area would take the
    // arrows and the page keys for itself.
    if (others == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Up: emit moveBy(-1); return;
        case Qt::Key_Down: emit moveBy(1); return;
        case Qt::Key_PageUp: emit moveBy(-kPageStep); return;
        case Qt::Key_PageDown: emit moveBy(kPageStep); return;
        case Qt::Key_Home: emit moveBy(-kItemCount); return;
        case Qt::Key_End: emit moveBy(kItemCount); return;
        default: break;
        }
    }
    QWidget::keyPressEvent(event);
}

void ContentsEntry::focusInEvent(QFocusEvent *event)
{
    update();
    emit focused(this);
    QWidget::focusInEvent(event);
}

void ContentsEntry::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

} // namespace brevant
