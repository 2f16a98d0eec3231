// The keys of the question pages and the ways from a page to the Contents
// and Find and Replace windows. The keys do exactly what the buttons and
// HELP labels do; each button's tooltip names its key.
#include "questionnaire/questionpage.h"

#include "core/catalogue.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>

namespace brevant {

namespace {

// Longer selections are not what anyone looks for.
constexpr qsizetype kMostLookedFor = 100;

} // namespace

void QuestionPage::addKeys(QPushButton *save, QPushButton *saveAs, QPushButton *back, QPushButton *next)
{
    const auto key = [this](const QKeySequence &keys, auto command) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, command);
        return keys.toString(QKeySequence::NativeText);
    };
    const auto tip = [](QPushButton *button, const QString &keys) {
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), keys));
    };
    tip(save, key(QKeySequence(Qt::CTRL | Qt::Key_S), &QuestionPage::Save_Click));
    tip(saveAs, key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &QuestionPage::SaveAs_Click));
    tip(next, key(QKeySequence(Qt::CTRL | Qt::Key_PageDown), &QuestionPage::next_Click));
    if (back)
        tip(back, key(QKeySequence(Qt::CTRL | Qt::Key_PageUp), &QuestionPage::Back_Click));

    // F1 in a requirement's boxes shows its example, as its HELP does.
    key(QKeySequence(Qt::Key_F1), [this] {
        if (const int item = itemOf(focusWidget()))
            showExample(item);
    });
    // Ctrl+F looks for what is selected, where it is a few words.
    key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        QString selected;
        if (const auto *box = qobject_cast<const QPlainTextEdit *>(focusWidget()))
            selected = box->textCursor().selectedText();
        if (selected.size() > kMostLookedFor || selected.contains(QChar::ParagraphSeparator)
            || selected.contains(QChar::LineSeparator))
            selected.clear();
        host().showFind(selected);
    });
    key(QKeySequence(Qt::Key_F3), [this] { host().findAgain(false); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { host().findAgain(true); });

    // Where the keyboard was last, for the Contents and Find that a button
    // or another window takes it from.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (const int item = now && now->window() == this ? itemOf(now) : 0)
            m_lastItem = item;
    });
}

void QuestionPage::Contents_Click()
{
    host().showContents(currentItem());
}

int QuestionPage::itemOf(const QWidget *w) const
{
    for (; w && w != this; w = w->parentWidget()) {
        if (const int item = m_itemOf.value(w))
            return item;
    }
    return 0;
}

int QuestionPage::currentItem() const
{
    if (const int item = itemOf(focusWidget()))
        return item;
    return m_lastItem ? m_lastItem : QuestionnaireCatalogue::instance().itemsOfPage(m_number).first()->number;
}

QPlainTextEdit *QuestionPage::showRequirement(int item)
{
    QPlainTextEdit *box = m_responses.value(QuestionnaireCatalogue::instance().item(item).responseBox);
    // The requirement from its statement down, as far as the window shows.
    m_scroll->ensureWidgetVisible(box->parentWidget(), 0, 0);
    // Where the user goes on writing: the end of a text not visited yet.
    if (!m_visited.contains(box)) {
        box->moveCursor(QTextCursor::End);
        box->ensureCursorVisible();
    }
    box->setFocus(Qt::OtherFocusReason);
    return box;
}

} // namespace brevant
