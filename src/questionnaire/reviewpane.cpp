#include "questionnaire/reviewpane.h"

#include "questionnaire/reviewmodel.h"
#include "ui/widgets.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr ReviewState kStates[] = {ReviewState::Draft, ReviewState::InReview, ReviewState::ChangesRequested,
                                   ReviewState::Approved};

// "30 Nov 2026" of an ISO date; the text as it is when it is none.
QString shortDate(const QString &iso)
{
    const QDateTime when = QDateTime::fromString(iso, Qt::ISODate);
    return when.isValid() ? QLocale::c().toString(when.toLocalTime().date(), u"d MMM yyyy"_s) : iso;
}

// The start of a passage, for a line of the list.
QString shortQuote(const QString &quote)
{
    const QString simple = quote.simplified();
    return simple.size() <= 60 ? simple : simple.left(57) + u"..."_s;
}

// A comment's lines as the list shows them (and a screen reader reads
// them): who, when, on which words, what; then each reply.
QString commentText(const ReviewComment &comment, bool passageGone)
{
    QString text = u"%1%2, %3, on \u201c%4\u201d: %5"_s.arg(comment.resolved ? u"Resolved: "_s : QString(),
                                                             comment.author, shortDate(comment.date),
                                                             shortQuote(comment.quote), comment.text);
    if (passageGone)
        text += u"\n(its passage is no longer in the response)"_s;
    for (const ReviewReply &reply : comment.replies)
        text += u"\n    Reply from %1, %2: %3"_s.arg(reply.author, shortDate(reply.date), reply.text);
    return text;
}

} // namespace

ReviewPane::ReviewPane(ReviewModel &review, int item, QPlainTextEdit *box, QWidget *parent)
    : QWidget(parent), m_review(review), m_item(item), m_box(box)
{
    setObjectName(u"review%1"_s.arg(item));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);

    auto *line = new QHBoxLayout;
    QLabel *stateLabel = makeLabel(u"stateLabel%1"_s.arg(item), u"Review state:"_s, regularFont(), this, false);
    m_state = new AnswerBox(this);
    m_state->setObjectName(u"state%1"_s.arg(item));
    for (const ReviewState state : kStates)
        m_state->addItem(stateWords(state));
    m_state->setAccessibleName(u"Review state of requirement %1"_s.arg(item));
    stateLabel->setBuddy(m_state);
    connect(m_state, &QComboBox::activated, this,
            [this](int index) { m_review.setState(m_item, kStates[std::clamp(index, 0, 3)]); });
    m_summary = makeLabel(u"comments%1"_s.arg(item), QString(), regularFont(), this, false);
    QPushButton *add = makeButton(u"addComment%1"_s.arg(item), u"Add Comment"_s, this);
    add->setFont(regularFont());
    // Tab goes from the box to its state and its comments only: the buttons
    // have keys of their own (Ctrl+Alt+M in the box; Enter, Space and
    // Delete in the list).
    add->setFocusPolicy(Qt::ClickFocus);
    add->setToolTip(u"A comment on the selected words of the response (Ctrl+Alt+M)"_s);
    connect(add, &QPushButton::clicked, this, &ReviewPane::startComment);
    line->addWidget(stateLabel);
    line->addWidget(m_state);
    line->addSpacing(12);
    line->addWidget(m_summary, 1);
    line->addWidget(add);
    column->addLayout(line);

    m_list = new QListWidget(this);
    m_list->setObjectName(u"commentList%1"_s.arg(item));
    m_list->setAccessibleName(u"Comments on requirement %1"_s.arg(item));
    m_list->setWordWrap(true);
    m_list->setFocusPolicy(Qt::StrongFocus);
    m_list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        showPassage();
        refresh();
    });
    column->addWidget(m_list);

    m_actions = new QWidget(this);
    auto *actions = new QHBoxLayout(m_actions);
    actions->setContentsMargins(0, 0, 0, 0);
    m_reply = addButton(actions, u"reply%1"_s.arg(item), u"Reply"_s, m_actions, this, &ReviewPane::startReply);
    m_resolve = addButton(actions, u"resolve%1"_s.arg(item), u"Resolve"_s, m_actions, this,
                          &ReviewPane::toggleResolved);
    m_delete = addButton(actions, u"delete%1"_s.arg(item), u"Delete"_s, m_actions, this, &ReviewPane::deleteComment);
    for (QPushButton *button : {m_reply, m_resolve, m_delete}) {
        button->setFont(regularFont());
        button->setFocusPolicy(Qt::ClickFocus);
    }
    m_reply->setToolTip(u"Reply to the chosen comment (Enter in the list)"_s);
    m_resolve->setToolTip(u"Resolve the chosen comment, or open it again (Space in the list)"_s);
    m_delete->setToolTip(u"Delete the chosen comment (Delete in the list)"_s);
    m_list->installEventFilter(this);
    actions->addStretch(1);
    column->addWidget(m_actions);

    // Writing a comment or a reply: a line of the pane, Enter to keep it,
    // Escape to drop it.
    m_editor = new QWidget(this);
    auto *editor = new QHBoxLayout(m_editor);
    editor->setContentsMargins(0, 0, 0, 0);
    m_editorLabel = makeLabel(u"editorLabel%1"_s.arg(item), QString(), regularFont(), m_editor, false);
    m_name = new QLineEdit(m_editor);
    m_name->setObjectName(u"commentAuthor%1"_s.arg(item));
    m_name->setPlaceholderText(u"Your name"_s);
    m_name->setAccessibleName(u"Your name, kept for your comments"_s);
    m_name->setMaximumWidth(160);
    m_text = new QLineEdit(m_editor);
    m_text->setObjectName(u"commentText%1"_s.arg(item));
    m_text->setAccessibleName(u"Comment"_s);
    m_editorLabel->setBuddy(m_text);
    QPushButton *keep = makeButton(u"keepComment%1"_s.arg(item), u"Add"_s, m_editor);
    QPushButton *drop = makeButton(u"dropComment%1"_s.arg(item), u"Cancel"_s, m_editor);
    for (QPushButton *button : {keep, drop})
        button->setFont(regularFont());
    connect(keep, &QPushButton::clicked, this, [this] { finishEditing(true); });
    connect(drop, &QPushButton::clicked, this, [this] { finishEditing(false); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { finishEditing(true); });
    connect(m_name, &QLineEdit::returnPressed, m_text, qOverload<>(&QWidget::setFocus));
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_editor);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { finishEditing(false); });
    editor->addWidget(m_editorLabel);
    editor->addWidget(m_name);
    editor->addWidget(m_text, 1);
    editor->addWidget(keep);
    editor->addWidget(drop);
    m_editor->hide();
    column->addWidget(m_editor);

    // The key word processors use, in the box.
    m_commentAction = new QAction(u"Add Comment"_s, this);
    m_commentAction->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M));
    m_commentAction->setShortcutContext(Qt::WidgetShortcut);
    connect(m_commentAction, &QAction::triggered, this, &ReviewPane::startComment);
    m_box->addAction(m_commentAction);

    m_recheck = new QTimer(this);
    m_recheck->setSingleShot(true);
    m_recheck->setInterval(700);
    connect(m_recheck, &QTimer::timeout, this, &ReviewPane::refresh);
    connect(m_box->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_review.comments(m_item).isEmpty())
            m_recheck->start();
    });
    connect(&m_review, &ReviewModel::changed, this, [this](int changed) {
        if (changed == 0 || changed == m_item)
            refresh();
    });
    refresh();
}

bool ReviewPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress && !selectedId().isEmpty()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                startReply();
                return true;
            case Qt::Key_Space:
                toggleResolved();
                return true;
            case Qt::Key_Delete:
                deleteComment();
                return true;
            default:
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ReviewPane::refresh()
{
    m_state->setCurrentIndex(int(std::find(std::begin(kStates), std::end(kStates), m_review.state(m_item))
                                 - std::begin(kStates)));
    const QList<ReviewComment> &comments = m_review.comments(m_item);
    const int open = m_review.openComments(m_item);
    if (comments.isEmpty())
        m_summary->setText(u"No comments"_s);
    else if (open == 0)
        m_summary->setText(u"%1 resolved"_s.arg(comments.size() == 1 ? u"1 comment,"_s : u"%1 comments, all"_s.arg(comments.size())));
    else
        m_summary->setText(open == 1 ? u"1 open comment"_s : u"%1 open comments"_s.arg(open));
    QFont summaryFont = regularFont();
    summaryFont.setBold(open > 0);
    m_summary->setFont(summaryFont);

    const QString current = selectedId();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const ReviewComment &comment : comments) {
        const bool gone = m_review.passage(m_item, comment.id).isNull();
        auto *entry = new QListWidgetItem(commentText(comment, gone), m_list);
        entry->setData(Qt::UserRole, comment.id);
        if (comment.resolved) {
            entry->setForeground(QColor(0x6b, 0x72, 0x7c));
        } else {
            entry->setBackground(QColor(0xff, 0xf4, 0xc2));
            QFont font = regularFont();
            font.setBold(true);
            entry->setFont(font);
        }
        if (comment.id == current)
            m_list->setCurrentItem(entry);
    }
    // As tall as its comments, up to about six lines; it scrolls beyond.
    int height = 2 * m_list->frameWidth();
    for (int row = 0; row < m_list->count(); ++row)
        height += m_list->sizeHintForRow(row);
    m_list->setFixedHeight(std::min(height, 6 * fontMetrics().height() + 2 * m_list->frameWidth()));
    m_list->setVisible(!comments.isEmpty());
    m_actions->setVisible(!comments.isEmpty());
    const QString id = selectedId();
    for (QPushButton *button : {m_reply, m_resolve, m_delete})
        button->setEnabled(!id.isEmpty());
    bool resolved = false;
    for (const ReviewComment &comment : comments)
        resolved = comment.id == id ? comment.resolved : resolved;
    m_resolve->setText(resolved ? u"Reopen"_s : u"Resolve"_s);
}

void ReviewPane::startComment()
{
    const QTextCursor selection = m_box->textCursor();
    if (!selection.hasSelection()) {
        m_summary->setText(u"Select the words the comment is about, then add it."_s);
        return;
    }
    m_editing = Editing::Comment;
    m_from = selection.selectionStart();
    m_length = selection.selectionEnd() - m_from;
    QString quote = selection.selectedText();
    quote.replace(QChar::ParagraphSeparator, u' ');
    m_editorLabel->setText(u"Comment on \u201c%1\u201d:"_s.arg(shortQuote(quote)));
    m_text->setAccessibleName(m_editorLabel->text());
    m_name->setVisible(!m_review.authorKnown());
    m_name->setText(m_review.author());
    m_text->clear();
    m_editor->show();
    (m_review.authorKnown() ? m_text : m_name)->setFocus(Qt::ShortcutFocusReason);
}

void ReviewPane::startReply()
{
    m_replyTo = selectedId();
    if (m_replyTo.isEmpty())
        return;
    m_editing = Editing::Reply;
    m_editorLabel->setText(u"Reply:"_s);
    m_text->setAccessibleName(u"Reply to the chosen comment"_s);
    m_name->setVisible(!m_review.authorKnown());
    m_name->setText(m_review.author());
    m_text->clear();
    m_editor->show();
    (m_review.authorKnown() ? m_text : m_name)->setFocus(Qt::ShortcutFocusReason);
}

void ReviewPane::finishEditing(bool keep)
{
    const QString text = m_text->text().trimmed();
    const Editing editing = std::exchange(m_editing, Editing::Nothing);
    m_editor->hide();
    if (keep && !text.isEmpty()) {
        if (m_name->isVisible() || !m_review.authorKnown()) {
            const QString name = m_name->text().trimmed();
            m_review.setAuthor(name.isEmpty() ? m_review.author() : name, true);
        }
        if (editing == Editing::Comment)
            m_review.addComment(m_item, m_from, m_length, text);
        else if (editing == Editing::Reply)
            m_review.reply(m_item, m_replyTo, text);
    }
    m_box->setFocus(Qt::OtherFocusReason);
}

void ReviewPane::toggleResolved()
{
    const QString id = selectedId();
    for (const ReviewComment &comment : m_review.comments(m_item)) {
        if (comment.id == id) {
            m_review.setResolved(m_item, id, !comment.resolved);
            return;
        }
    }
}

void ReviewPane::deleteComment()
{
    const QString id = selectedId();
    if (!id.isEmpty())
        m_review.removeComment(m_item, id);
}

void ReviewPane::showPassage()
{
    const QTextCursor passage = m_review.passage(m_item, selectedId());
    if (!passage.isNull())
        m_box->setTextCursor(passage);
}

QString ReviewPane::selectedId() const
{
    const QListWidgetItem *entry = m_list->currentItem();
    return entry ? entry->data(Qt::UserRole).toString() : QString();
}

} // namespace brevant
