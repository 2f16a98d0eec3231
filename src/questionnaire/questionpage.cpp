#include "questionnaire/questionpage.h"

#include "core/catalogue.h"
#include "questionnaire/reviewpane.h"
#include "ui/responseaids.h"
#include "ui/services.h"
#include "ui/spelling.h"
#include "ui/widgets.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace brevant {

namespace {

// A response box asks for little height of its own, so that the boxes of
// a page share whatever height the window has instead of pushing the page
// past the screen.
class ResponseBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    QSize sizeHint() const override { return {QPlainTextEdit::sizeHint().width(), 64}; }

    SpellHighlighter *spelling = nullptr;
    ReviewPane *review = nullptr;

protected:
    // The box's own menu, with the spelling entries for the word under the
    // pointer at its top and Add Comment at its end.
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        QMenu *menu = createStandardContextMenu(event->pos());
        if (spelling)
            spelling->addMenuEntries(menu, event->pos());
        if (review) {
            menu->addSeparator();
            menu->addAction(review->commentAction());
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
};

} // namespace

QuestionPage::QuestionPage(WindowHost &host, Dialogs &dialogs, Questionnaire &questionnaire, int number,
                           Speller *speller)
    : Window(host, QuestionnaireCatalogue::instance().page(number).window,
             QuestionnaireCatalogue::instance().page(number).caption),
      m_dialogs(dialogs), m_questionnaire(questionnaire), m_number(number), m_speller(speller)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    const QuestionnairePage &page = catalogue.page(number);
    setFont(regularFont());

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setSpacing(8);

    for (int f = 0; f < page.frames.size(); ++f) {
        if (f == page.headingBeforeFrame)
            column->addWidget(makeLabel(page.heading.name, page.heading.text, headingFont(), content));
        const PageFrame &pageFrame = page.frames.at(f);
        auto *frame = new QGroupBox(pageFrame.caption, content);
        frame->setObjectName(pageFrame.name);
        frame->setFont(headingFont());
        auto *inFrame = new QVBoxLayout(frame);
        for (const LabelText &intro : pageFrame.intro)
            inFrame->addWidget(makeLabel(intro.name, intro.text, regularFont(), frame));
        int itemsInFrame = 0;
        for (const QuestionnaireItem *item : catalogue.itemsOfPage(number)) {
            if (item->frame == pageFrame.name) {
                inFrame->addWidget(buildItem(*item, frame), 1);
                ++itemsInFrame;
            }
        }
        // Frames share the height by the number of response boxes they hold.
        column->addWidget(frame, itemsInFrame);
    }

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // A click on HELP or between the boxes leaves the keyboard where it is.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidget(content);

    auto *buttons = new QHBoxLayout;
    QPushButton *saveAs = addButton(buttons, QStringLiteral("SaveAs"), QStringLiteral("Save As"), this, this,
                                    &QuestionPage::SaveAs_Click);
    QPushButton *save = addButton(buttons, QStringLiteral("Save"), QStringLiteral("Save"), this, this,
                                  &QuestionPage::Save_Click);
    QPushButton *contents = addButton(buttons, QStringLiteral("contents"), QStringLiteral("Contents"), this, this,
                                      &QuestionPage::Contents_Click);
    contents->setToolTip(QStringLiteral("Every requirement, how far it is and where it is"));
    buttons->addStretch(1);
    QPushButton *back = nullptr;
    if (page.hasBack)
        back = addButton(buttons, QStringLiteral("Back"), QStringLiteral("Back"), this, this, &QuestionPage::Back_Click);
    QPushButton *next = addButton(buttons, QStringLiteral("next"), page.nextCaption, this, this, &QuestionPage::next_Click);
    addKeys(save, saveAs, back, next);

    m_note = new NoteBar(this);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_scroll, 1);
    outer->addWidget(m_note);
    outer->addLayout(buttons);
    resize(940, 690);

    // The keyboard starts in the page's first box.
    const QuestionnaireItem *first = catalogue.itemsOfPage(number).first();
    if (QComboBox *answer = m_answers.value(first->answerBox))
        answer->setFocus(Qt::OtherFocusReason);
    else
        m_responses.value(first->responseBox)->setFocus(Qt::OtherFocusReason);
}

QWidget *QuestionPage::buildItem(const QuestionnaireItem &item, QWidget *frame)
{
    auto *box = new QWidget(frame);
    box->setFont(regularFont());
    auto *rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 4, 0, 4);
    rows->setSpacing(4);

    auto *help = new ClickLabel(QStringLiteral("HELP"), box);
    help->setObjectName(item.helpLabel);
    help->setFont(buttonFont());
    help->setCursor(Qt::WhatsThisCursor);
    // Screen readers and speech input name it as the page shows it; what
    // it is for is its description.
    help->setAccessibleName(QStringLiteral("HELP"));
    help->setAccessibleDescription(item.statement.text);
    const int itemNumber = item.number;
    connect(help, &ClickLabel::clicked, this, [this, itemNumber] { showExample(itemNumber); });
    help->setToolTip(QStringLiteral("The example response (F1 in this requirement's boxes)"));
    m_itemOf.insert(help, itemNumber);

    QLabel *statement = makeLabel(item.statement.name, item.statement.text, regularFont(), box);
    if (item.responsePrompt.isEmpty()) {
        // No prompts: HELP stands on the statement's line.
        auto *line = new QGridLayout;
        line->addWidget(statement, 0, 0);
        line->addWidget(help, 0, 1, Qt::AlignRight | Qt::AlignTop);
        line->setColumnStretch(0, 1);
        rows->addLayout(line);
    } else {
        rows->addWidget(statement);
    }

    if (item.hasAnswer()) {
        auto *line = new QHBoxLayout;
        const QString promptText = QuestionnaireCatalogue::answerPromptText(item.page);
        QLabel *prompt = makeLabel(item.answerPrompt, promptText, regularFont(), box, false);
        line->addWidget(prompt);
        auto *answer = new AnswerBox(box);
        answer->setObjectName(item.answerBox);
        answer->setEditable(true);
        answer->setInsertPolicy(QComboBox::NoInsert);
        // What is typed stays as typed: no completion, and no case change
        // from matching the list ("yes" stays "yes").
        answer->setCompleter(nullptr);
        answer->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
        // The box shows the questionnaire's answer and changes it as it is
        // typed or chosen.
        answer->setCurrentText(m_questionnaire.answer(item.number));
        connect(answer, &QComboBox::currentTextChanged, &m_questionnaire,
                [this, itemNumber](const QString &text) { m_questionnaire.setAnswer(itemNumber, text); });
        connect(&m_questionnaire, &Questionnaire::answerChanged, answer, [this, answer, itemNumber](int changed) {
            if (changed == itemNumber && answer->currentText() != m_questionnaire.answer(itemNumber))
                answer->setCurrentText(m_questionnaire.answer(itemNumber));
        });
        answer->setMinimumWidth(90);
        // Announced with its question and its requirement, not as "Yes";
        // the typing field inside is what has the focus.
        const QString name = promptText + QLatin1Char(' ') + requirementName(item);
        answer->setAccessibleName(name);
        answer->setAccessibleDescription(item.statement.text);
        answer->lineEdit()->setAccessibleName(name);
        answer->lineEdit()->setAccessibleDescription(item.statement.text);
        prompt->setBuddy(answer);
        line->addWidget(answer);
        line->addStretch(1);
        rows->addLayout(line);
        m_answers.insert(item.answerBox, answer);
        m_itemOf.insert(answer, itemNumber);
    }

    QLabel *responseLabel = statement;
    if (!item.responsePrompt.isEmpty()) {
        auto *line = new QHBoxLayout;
        responseLabel = makeLabel(item.responsePrompt, item.responsePromptText, regularFont(), box, false);
        line->addWidget(responseLabel, 1);
        line->addWidget(help, 0, Qt::AlignRight);
        rows->addLayout(line);
    }

    auto *response = new ResponseBox(box);
    response->setObjectName(item.responseBox);
    // The questionnaire's document, with its text and its undo history; the
    // box starts at its beginning, as a box given a text does.
    response->setDocument(m_questionnaire.document(item.number));
    connect(&m_questionnaire, &Questionnaire::responseReplaced, response, [this, response, itemNumber](int replaced) {
        if (replaced == itemNumber) {
            response->moveCursor(QTextCursor::Start);
            m_visited.remove(response);
        }
    });
    // Where the user was last in it: a cursor moved while it has the keyboard.
    connect(response, &QPlainTextEdit::cursorPositionChanged, this, [this, response] {
        if (response->hasFocus())
            m_visited.insert(response);
    });
    response->setTabChangesFocus(true);
    response->setMinimumHeight(56);
    response->setVerticalScrollBarPolicy(item.scrollBar ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
    response->setAccessibleName(QStringLiteral("Response to requirement %1: %2")
                                    .arg(item.number)
                                    .arg(requirementName(item)));
    // (Its description is the count line's.)
    responseLabel->setBuddy(response);
    // Grey in the empty box, never part of its text.
    response->setPlaceholderText(QStringLiteral("No response yet"));
    if (m_speller)
        response->spelling = new SpellHighlighter(response, *m_speller);
    rows->addWidget(response, 1);
    auto *count = new CountLine(response, m_questionnaire.counter(item.number), box);
    count->setObjectName(QStringLiteral("count_") + item.responseBox);
    rows->addWidget(count);
    // Its review state and comments.
    response->review = new ReviewPane(m_questionnaire.review(), item.number, response, box);
    rows->addWidget(response->review);
    // Tab runs top to bottom: answer box, HELP, response box.
    if (QComboBox *answer = m_answers.value(item.answerBox))
        setTabOrder(answer, help);
    setTabOrder(help, response);
    m_responses.insert(item.responseBox, response);
    m_itemOf.insert(response, itemNumber);
    return box;
}

void QuestionPage::Form_Load()
{
    m_saveDialog.setCancelError(true);
    m_saveDialog.setFilter(QStringLiteral("Dat Files (*.dat)|*.dat"));
}

void QuestionPage::Form_Unload()
{
    host().closeAll();
}

bool QuestionPage::isComplete() const
{
    return m_questionnaire.isPageComplete(m_number);
}

QStringList QuestionPage::incompleteRequirements() const
{
    QStringList lines;
    for (const int number : m_questionnaire.incompleteItems(m_number)) {
        const QuestionnaireItem &item = QuestionnaireCatalogue::instance().item(number);
        lines << QStringLiteral("%1 \"%2\": %3").arg(sectionCode(item), requirementName(item),
                                                     m_questionnaire.whyIncomplete(number).join(QStringLiteral(", ")));
    }
    return lines;
}

bool QuestionPage::confirmIncomplete(QWidget *parent)
{
    // The detail text says what keeps the page from passing.
    const Answer answer = m_dialogs.message(
        parent, QStringLiteral("Requirements are not met, Do you want to continue"), Buttons::YesNo,
        Icon::Critical, QStringLiteral("Exiting"), incompleteRequirements().join(QLatin1Char('\n')));
    if (answer == Answer::Yes)
        return true;
    host().endProgram();
    return false;
}

void QuestionPage::moveTo(int n)
{
    host().hideExample();
    host().showPage(n);
    host().hideWindow(this);
}

void QuestionPage::next_Click()
{
    if (m_number == kPageCount) {
        finish();
        return;
    }
    if (!isComplete() && !confirmIncomplete(this))
        return;
    moveTo(m_number + 1);
}

void QuestionPage::finish()
{
    // The completion window comes first; the warning then stands in front of it.
    host().hideExample();
    host().hideWindow(this);
    Window *completion = host().showCompletion();
    if (!isComplete() && !confirmIncomplete(completion))
        return;
    host().hideExample();
    host().hideWindow(this);
    host().showWindow(completion);
}

void QuestionPage::Back_Click()
{
    moveTo(m_number - 1);
}

void QuestionPage::Save_Click()
{
    emit saveRequested(this);
}

void QuestionPage::SaveAs_Click()
{
    emit saveAsRequested(this);
}

void QuestionPage::showExample(int item)
{
    host().showExample(item);
}

} // namespace brevant
