#include "questionnaire/questionpage.h"

#include "questionnaire/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "ui/services.h"
#include "ui/widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace brevant {

bool pageComplete(const QStringList &responses, const QStringList &answers)
{
    for (const QString &r : responses) {
        if (r.isEmpty())
            return false;
    }
    for (const QString &a : answers) {
        if (a != QLatin1String("Yes"))
            return false;
    }
    return true;
}

namespace {

// A response box asks for little height of its own, so that the boxes of
// a page share whatever height the window has instead of pushing the page
// past the screen.
class ResponseBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    QSize sizeHint() const override { return {QPlainTextEdit::sizeHint().width(), 64}; }
};

} // namespace

QuestionPage::QuestionPage(WindowHost &host, Dialogs &dialogs, int number)
    : Window(host, QuestionnaireCatalogue::instance().page(number).window,
             QuestionnaireCatalogue::instance().page(number).caption),
      m_dialogs(dialogs), m_number(number)
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

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);

    auto *buttons = new QHBoxLayout;
    QPushButton *saveAs = makeButton(QStringLiteral("SaveAs"), QStringLiteral("Save As"), this);
    QPushButton *save = makeButton(QStringLiteral("Save"), QStringLiteral("Save"), this);
    buttons->addWidget(saveAs);
    buttons->addWidget(save);
    buttons->addStretch(1);
    connect(saveAs, &QPushButton::clicked, this, &QuestionPage::SaveAs_Click);
    connect(save, &QPushButton::clicked, this, &QuestionPage::Save_Click);
    if (page.hasBack) {
        QPushButton *back = makeButton(QStringLiteral("Back"), QStringLiteral("Back"), this);
        buttons->addWidget(back);
        connect(back, &QPushButton::clicked, this, &QuestionPage::Back_Click);
    }
    QPushButton *next = makeButton(QStringLiteral("next"), page.nextCaption, this);
    buttons->addWidget(next);
    connect(next, &QPushButton::clicked, this, &QuestionPage::next_Click);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(scroll, 1);
    outer->addLayout(buttons);
    resize(940, 690);
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
    help->setAccessibleName(QStringLiteral("Example response for requirement %1").arg(item.number));
    const int itemNumber = item.number;
    connect(help, &ClickLabel::clicked, this, [this, itemNumber] { showExample(itemNumber); });

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
        line->addWidget(makeLabel(item.answerPrompt,
                                  QuestionnaireCatalogue::answerPromptText(item.page),
                                  regularFont(), box, false));
        auto *answer = new QComboBox(box);
        answer->setObjectName(item.answerBox);
        answer->setEditable(true);
        answer->setInsertPolicy(QComboBox::NoInsert);
        // What is typed stays as typed: no completion, and no case change
        // from matching the list ("yes" stays "yes").
        answer->setCompleter(nullptr);
        answer->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
        answer->setCurrentText(QStringLiteral("Yes"));
        answer->setMinimumWidth(90);
        answer->setAccessibleName(QStringLiteral("Requirement %1 met?").arg(item.number));
        answer->setAccessibleDescription(item.statement.text);
        line->addWidget(answer);
        line->addStretch(1);
        rows->addLayout(line);
        m_answers.insert(item.answerBox, answer);
        m_answerOrder.append(answer);
    }

    if (!item.responsePrompt.isEmpty()) {
        auto *line = new QHBoxLayout;
        line->addWidget(makeLabel(item.responsePrompt, item.responsePromptText, regularFont(), box, false), 1);
        line->addWidget(help, 0, Qt::AlignRight);
        rows->addLayout(line);
    }

    auto *response = new ResponseBox(box);
    response->setObjectName(item.responseBox);
    response->setTabChangesFocus(true);
    response->setMinimumHeight(56);
    response->setVerticalScrollBarPolicy(item.scrollBar ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
    response->setAccessibleName(QStringLiteral("Response to requirement %1").arg(item.number));
    response->setAccessibleDescription(item.statement.text);
    rows->addWidget(response, 1);
    // Tab runs top to bottom: answer box, HELP, response box.
    if (QComboBox *answer = m_answers.value(item.answerBox))
        setTabOrder(answer, help);
    setTabOrder(help, response);
    m_responses.insert(item.responseBox, response);
    m_responseOrder.append(response);
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
    QStringList responses;
    for (const QPlainTextEdit *box : m_responseOrder)
        responses << box->toPlainText();
    QStringList answers;
    for (const QComboBox *box : m_answerOrder)
        answers << box->currentText();
    return pageComplete(responses, answers);
}

bool QuestionPage::confirmIncomplete(QWidget *parent)
{
    const Answer answer = m_dialogs.message(
        parent, QStringLiteral("Requirements are not met, Do you want to continue"), Buttons::YesNo,
        Icon::Critical, QStringLiteral("Exiting"));
    if (answer == Answer::Yes)
        return true;
    host().endProgram();
    return false;
}

void QuestionPage::hideExample()
{
    if (Window *example = host().existing(QStringLiteral("Example")))
        host().hideWindow(example);
}

void QuestionPage::moveTo(int n)
{
    hideExample();
    host().showWindow(host().window(QuestionnaireCatalogue::instance().page(n).window));
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
    hideExample();
    host().hideWindow(this);
    Window *completion = host().window(QStringLiteral("Std11"));
    host().showWindow(completion);
    if (!isComplete() && !confirmIncomplete(completion))
        return;
    hideExample();
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
    auto *example = qobject_cast<ExampleWindow *>(host().window(QStringLiteral("Example")));
    host().showWindow(example);
    example->setExample(QuestionnaireCatalogue::instance().item(item).example);
}

} // namespace brevant
