#include "navigation/findwindow.h"

#include "core/catalogue.h"
#include "questionnaire/questionnaire.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// The count follows what is typed into the field once typing pauses.
constexpr int kRecountMs = 200;

QString plural(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? u"1 "_s + one : u"%1 "_s.arg(n) + many;
}

QString numbers(const QList<int> &items)
{
    QStringList texts;
    for (int item : items)
        texts << QString::number(item);
    return texts.join(u", "_s);
}

} // namespace

FindWindow::FindWindow(WindowHost &host, Questionnaire &questionnaire)
    : Window(host, u"Find"_s, u"Find and Replace"_s), m_questionnaire(questionnaire)
{
    setClosesOnEscape(true);
    setFont(regularFont());
    auto *grid = new QGridLayout;
    const auto field = [&](int row, const QString &name, const QString &label) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMinimumWidth(260);
        QLabel *caption = makeLabel(name + u"Label"_s, label, regularFont(), this, false);
        caption->setBuddy(edit);
        edit->setAccessibleName(label.chopped(1));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    m_find = field(0, u"findText"_s, u"Find:"_s);
    m_replace = field(1, u"replaceText"_s, u"Replace with:"_s);
    m_matchCase = new QCheckBox(u"Match case"_s, this);
    m_matchCase->setObjectName(u"matchCase"_s);
    m_wholeWords = new QCheckBox(u"Whole words"_s, this);
    m_wholeWords->setObjectName(u"wholeWords"_s);
    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWords);
    options->addStretch(1);
    grid->addLayout(options, 2, 1);
    m_status = makeLabel(u"status"_s, QString(), regularFont(), this);
    m_status->setMinimumHeight(2 * fontMetrics().height());
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(m_status, 3, 0, 1, 2);
    grid->setRowStretch(3, 1);

    auto *buttons = new QVBoxLayout;
    const auto button = [&](const QString &name, const QString &text, const QString &tip, auto command) {
        QPushButton *b = makeButton(name, text, this);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, command);
        buttons->addWidget(b);
        return b;
    };
    button(u"findNext"_s, u"Find Next"_s, u"Find Next (F3)"_s, [this] { find(false); });
    button(u"findPrevious"_s, u"Find Previous"_s, u"Find Previous (Shift+F3)"_s, [this] { find(true); });
    button(u"replace"_s, u"Replace"_s, u"Replace the match and find the next"_s, &FindWindow::replace);
    button(u"replaceAll"_s, u"Replace All"_s, u"Replace every match in the 27 responses"_s,
           &FindWindow::replaceAll);
    button(u"undoReplaceAll"_s, u"Undo"_s, u"Take the last Replace All back (Ctrl+Z)"_s,
           &FindWindow::undoReplaceAll);
    button(u"close"_s, u"Close"_s, u"Close (Esc)"_s, &QWidget::close);
    buttons->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    const auto shortcut = [this](const QKeySequence &keys, auto command) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, command);
    };
    shortcut(QKeySequence(Qt::Key_F3), [this] { find(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { find(true); });
    shortcut(QKeySequence::Find, [this] { lookFor(QString()); });
    m_find->installEventFilter(this);
    m_replace->installEventFilter(this);
    connect(m_find, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(m_replace, &QLineEdit::returnPressed, this, &FindWindow::replace);

    m_recount.setSingleShot(true);
    m_recount.setInterval(kRecountMs);
    connect(&m_recount, &QTimer::timeout, this, [this] { say(query().isEmpty() ? QString() : countWords(count())); });
    connect(m_find, &QLineEdit::textChanged, &m_recount, qOverload<>(&QTimer::start));
    connect(m_matchCase, &QCheckBox::toggled, &m_recount, qOverload<>(&QTimer::start));
    connect(m_wholeWords, &QCheckBox::toggled, &m_recount, qOverload<>(&QTimer::start));
    // A flag per change; the count is made again only when it is needed.
    connect(&questionnaire, &Questionnaire::responseChanged, this, [this] { m_changedSinceCount = true; });
    resize(sizeHint().width(), sizeHint().height());
}

SearchQuery FindWindow::query() const
{
    return {m_find->text(), m_matchCase->isChecked(), m_wholeWords->isChecked()};
}

QString FindWindow::status() const
{
    return m_status->text();
}

void FindWindow::lookFor(const QString &text)
{
    if (!text.isEmpty())
        m_find->setText(text);
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

int FindWindow::itemOf(const QPlainTextEdit *box) const
{
    for (int item = 1; box && item <= kItemCount; ++item) {
        if (m_questionnaire.document(item) == box->document())
            return item;
    }
    return 0;
}

const SearchCount &FindWindow::count()
{
    const SearchQuery now = query();
    if (m_changedSinceCount || !(now == m_counted)) {
        m_count = countInResponses(m_questionnaire, now);
        m_counted = now;
        m_changedSinceCount = false;
    }
    return m_count;
}

QString FindWindow::countWords(const SearchCount &count) const
{
    if (count.matches == 0)
        return u"No matches"_s;
    return plural(count.matches, u"match"_s, u"matches"_s) + u" in "_s
        + plural(count.items.size(), u"requirement"_s, u"requirements"_s) + u": "_s + numbers(count.items);
}

void FindWindow::say(const QString &text)
{
    m_recount.stop();
    if (m_status->text() != text)
        m_status->setText(text);
}

void FindWindow::find(bool backward)
{
    const SearchQuery q = query();
    if (q.isEmpty()) {
        host().showWindow(this);
        lookFor(QString());
        return;
    }
    // Where the command came from keeps the keyboard: this window, or the
    // page (F3).
    const bool fromHere = isActiveWindow();
    const SearchCount &found = count();
    QPlainTextEdit *box = host().currentResponse();
    int item = itemOf(box);
    qsizetype position = 0;
    if (item) {
        const QTextCursor cursor = box->textCursor();
        position = backward ? cursor.selectionStart() : cursor.selectionEnd();
    } else {
        item = backward ? kItemCount : 1;
        position = backward ? m_questionnaire.document(item)->characterCount() - 1 : 0;
    }
    const SearchHit hit = found.matches ? findInResponses(m_questionnaire, q, item, position, backward) : SearchHit{};
    if (!hit.isValid()) {
        say(countWords({}));
        return;
    }
    const qsizetype n = q.text.size();
    const bool wrapped = (backward ? hit.item > item : hit.item < item)
        || (hit.item == item && (backward ? hit.position + n > position : hit.position < position));
    using Keyboard = WindowHost::Keyboard;
    QPlainTextEdit *shown = host().showItem(hit.item, fromHere ? Keyboard::Stays : Keyboard::ToPage);
    QTextCursor cursor = shown->textCursor();
    cursor.setPosition(int(hit.position));
    cursor.setPosition(int(hit.position + n), QTextCursor::KeepAnchor);
    shown->setTextCursor(cursor);
    shown->ensureCursorVisible();
    QString words = countWords(found);
    if (wrapped) {
        words += backward ? u". Passed requirement 1, went on from requirement 27."_s
                          : u". Passed requirement 27, went on from requirement 1."_s;
    }
    say(words);
    // In front of the page it showed.
    if (fromHere)
        host().showWindow(this);
}

void FindWindow::replace()
{
    const SearchQuery q = query();
    QPlainTextEdit *box = host().currentResponse();
    if (itemOf(box)) {
        QTextCursor cursor = box->textCursor();
        if (selectionMatches(cursor, q)) {
            // One step of the box's undo history.
            cursor.beginEditBlock();
            cursor.insertText(m_replace->text());
            cursor.endEditBlock();
            box->setTextCursor(cursor);
        }
    }
    find(false);
}

void FindWindow::replaceAll()
{
    const SearchQuery q = query();
    if (q.isEmpty()) {
        lookFor(QString());
        return;
    }
    SearchCount replaced;
    m_replacedAll.clear();
    for (int item = 1; item <= kItemCount; ++item) {
        if (const int n = replaceInResponse(m_questionnaire, item, q, m_replace->text())) {
            replaced.matches += n;
            replaced.items << item;
            m_replacedAll.append({item, m_questionnaire.document(item)->revision()});
        }
    }

    say(replaced.matches == 0 ? countWords(replaced) : u"Replaced "_s + countWords(replaced));
}

void FindWindow::undoReplaceAll()
{
    int undone = 0;
    int kept = 0;
    for (const auto &[item, revision] : std::as_const(m_replacedAll)) {
        QTextDocument *document = m_questionnaire.document(item);
        // Edited since: undoing would take that edit back instead.
        if (document->revision() != revision || !document->isUndoAvailable()) {
            ++kept;
            continue;
        }
        document->undo();
        ++undone;
    }
    if (m_replacedAll.isEmpty()) {
        say(u"No Replace All to take back."_s);
        return;
    }
    m_replacedAll.clear();
    QString words = u"Replace All taken back in "_s + plural(undone, u"requirement"_s, u"requirements"_s);
    if (kept)
        words += u"; "_s + plural(kept, u"requirement edited since keeps"_s, u"requirements edited since keep"_s)
            + u" its text"_s;
    say(words + u'.');
}

bool FindWindow::undoesReplaceAll(const QKeyEvent *key) const
{
    const auto *field = qobject_cast<const QLineEdit *>(focusWidget());
    return key->matches(QKeySequence::Undo) && !m_replacedAll.isEmpty() && !(field && field->isUndoAvailable());
}

bool FindWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The fields take Ctrl+Z for their own typing first.
    if ((watched == m_find || watched == m_replace)
        && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && undoesReplaceAll(static_cast<QKeyEvent *>(event))) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            undoReplaceAll();
        return true;
    }
    return Window::eventFilter(watched, event);
}

void FindWindow::keyPressEvent(QKeyEvent *event)
{
    if (undoesReplaceAll(event)) {
        undoReplaceAll();
        return;
    }
    Window::keyPressEvent(event);
}

} // namespace brevant
