// The question pages: what a fresh page shows, the Next test and warning,
// Back, Finish, and the shared Example window.
#include "harness.h"
#include "testmain.h"

#include "app/std11.h"
#include "core/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

static const QString kWarning = QStringLiteral("Requirements are not met, Do you want to continue");
static const QString kWarningTitle = QStringLiteral("Exiting");

// Page 1 put away and page n shown, as if the user had come to it.
static QuestionPage *showPage(Harness &h, int n)
{
    QuestionPage *page = h.program->page(n);
    h.program->hideWindow(h.program->page(1));
    h.program->showWindow(page);
    return page;
}

class tst_Pages : public QObject {
    Q_OBJECT
private slots:
    void freshPageShowsYesAndEmptyBoxes();
    void pageControlsAsCatalogued();
    void tabOrderRunsTopToBottom();
    void nextOnCompletePageMovesWithoutMessage();
    void nextOnEveryIncompletePageWarns_data();
    void nextOnEveryIncompletePageWarns();
    void warningNoEndsProgramAtOnce();
    void answerBoxAcceptsTypedText();
    void backKeepsTypedAnswers();
    void finishShowsCompletionWindowFirst_data();
    void finishShowsCompletionWindowFirst();
    void exampleWindowIsSharedAndFollowsNavigation();
    void exampleWindowRecreatedAfterClose();
};

void tst_Pages::freshPageShowsYesAndEmptyBoxes()
{
    Harness h;
    h.continueToPage1();
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    for (int i = 1; i <= 27; ++i) {
        QCOMPARE(h.response(i)->toPlainText(), QString());
        if (QComboBox *a = h.answer(i)) {
            QCOMPARE(a->currentText(), QStringLiteral("Yes"));
            QCOMPARE(a->count(), 2);
            QCOMPARE(a->itemText(0), QStringLiteral("Yes"));
            QCOMPARE(a->itemText(1), QStringLiteral("No"));
            QVERIFY(a->isEditable());
        }
    }
    VERIFY_DIALOGS(h);
}

void tst_Pages::pageControlsAsCatalogued()
{
    Harness h;
    const auto &c = QuestionnaireCatalogue::instance();
    for (int p = 1; p <= 10; ++p) {
        QuestionPage *page = h.program->page(p);
        QCOMPARE(page->objectName(), c.page(p).window);
        QCOMPARE(page->windowTitle(), c.page(p).caption);
        QCOMPARE(page->findChild<QPushButton *>("Back") != nullptr, p != 1);
        QCOMPARE(page->findChild<QPushButton *>("next")->text(), p == 10 ? QString("Finish") : QString("Next"));
        QCOMPARE(page->findChild<QPushButton *>("Save")->text(), QStringLiteral("Save"));
        QCOMPARE(page->findChild<QPushButton *>("SaveAs")->text(), QStringLiteral("Save As"));
        for (const PageFrame &f : c.page(p).frames)
            QCOMPARE(page->findChild<QGroupBox *>(f.name)->title(), f.caption);
        for (const QuestionnaireItem *item : c.itemsOfPage(p)) {
            QCOMPARE(page->findChild<QLabel *>(item->statement.name)->text(), item->statement.text);
            auto *help = page->findChild<QLabel *>(item->helpLabel);
            QVERIFY(help);
            QCOMPARE(help->text(), QStringLiteral("HELP"));
            QVERIFY(help->font().bold());
            QCOMPARE(help->cursor().shape(), Qt::WhatsThisCursor);
            auto *response = page->findChild<QPlainTextEdit *>(item->responseBox);
            QVERIFY(response);
            QVERIFY(!response->accessibleName().isEmpty());
            QCOMPARE(response->verticalScrollBarPolicy(),
                     item->responseBox == QLatin1String("desc4") ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
            QCOMPARE(page->findChild<QComboBox *>(item->answerBox.isEmpty() ? QStringLiteral("-") : item->answerBox) != nullptr,
                     item->hasAnswer());
        }
        QCOMPARE(page->saveDialog().filter(), QStringLiteral("Dat Files (*.dat)|*.dat"));
        QVERIFY(page->saveDialog().cancelError());
    }
    QCOMPARE(h.program->page(3)->findChild<QLabel *>("Label4")->text(), QStringLiteral("5-2:0  B. DEGREE STRUCTURE"));
    // No page window is visible just because it was made.
    QCOMPARE(h.visibleWindows(), QStringList{});
}

void tst_Pages::tabOrderRunsTopToBottom()
{
    Harness h;
    QuestionPage *page = h.program->page(2);
    QStringList chain;
    for (QWidget *w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()
            && !w->objectName().startsWith(QLatin1String("qt_")) && w->isVisibleTo(page))
            chain << w->objectName();
    }
    // Each requirement's review state follows its box; its comments too,
    // once it has any.
    QCOMPARE(chain, (QStringList{"no2b", "Label7", "desc2b", "state3", "no3", "Label8", "desc3", "state4", "SaveAs",
                                 "Save", "contents", "Back", "next"}));
}

void tst_Pages::nextOnCompletePageMovesWithoutMessage()
{
    Harness h;
    h.continueToPage1();
    h.fillAll();
    for (int p = 1; p <= 9; ++p) {
        h.click(h.program->page(p), "next");
        QCOMPARE(h.visibleWindows(), QStringList{QuestionnaireCatalogue::instance().page(p + 1).window});
    }
    h.click(h.program->page(10), "next");
    QCOMPARE(h.visibleWindows(), QStringList{"Std11"});
    QCOMPARE(h.lifetime.endProgramCalls, 0);
    VERIFY_DIALOGS(h);
}

void tst_Pages::nextOnEveryIncompletePageWarns_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("fault");
    for (int p = 1; p <= 9; ++p) {
        QTest::addRow("page %d, empty response", p) << p << "empty";
        if (p != 4)
            QTest::addRow("page %d, answer No", p) << p << "No";
    }
}

void tst_Pages::nextOnEveryIncompletePageWarns()
{
    QFETCH(int, page);
    QFETCH(QString, fault);
    Harness h;
    h.continueToPage1();
    h.fillAll();
    const auto items = QuestionnaireCatalogue::instance().itemsOfPage(page);
    if (fault == QLatin1String("empty")) {
        h.response(items.last()->number)->clear();
    } else {
        for (const QuestionnaireItem *item : items) {
            if (item->hasAnswer()) {
                h.answer(item->number)->setCurrentText("No");
                break;
            }
        }
    }
    QuestionPage *current = showPage(h, page);
    // Yes goes on exactly as for a complete page.
    h.dialogs.expectMessage(kWarning, kWarningTitle, Buttons::YesNo, Icon::Critical, Answer::Yes);
    h.click(current, "next");
    VERIFY_DIALOGS(h);
    QCOMPARE(h.visibleWindows(), QStringList{QuestionnaireCatalogue::instance().page(page + 1).window});
    QCOMPARE(h.dialogs.parents.last(), current);
    QCOMPARE(h.lifetime.endProgramCalls, 0);
}

void tst_Pages::warningNoEndsProgramAtOnce()
{
    Harness h;
    h.continueToPage1();
    h.response(1)->setPlainText("typed but never saved");
    h.dialogs.expectMessage(kWarning, kWarningTitle, Buttons::YesNo, Icon::Critical, Answer::No);
    h.click(h.program->page(1), "next");
    VERIFY_DIALOGS(h);   // no other dialog, no save question
    QCOMPARE(h.lifetime.endProgramCalls, 1);
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 0);
    QVERIFY(h.program->ended());
    QCOMPARE(h.visibleWindows(), QStringList{});
    QVERIFY(!h.program->existingPage(2));
}

void tst_Pages::answerBoxAcceptsTypedText()
{
    Harness h;
    h.continueToPage1();
    QComboBox *no1 = h.answer(1);
    QTest::keyClick(no1->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(no1->lineEdit(), "N/A");
    QCOMPARE(no1->currentText(), QStringLiteral("N/A"));
    QCOMPARE(no1->count(), 2);
    QVERIFY(!h.program->page(1)->isComplete());

    // What is typed stays as typed, with the keys a person uses to leave
    // the box: no completion to "Yes", no change of case.
    const auto typeAndLeave = [&](const char *text, Qt::Key leave) {
        no1->setFocus();
        QTest::keyClick(no1->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(no1->lineEdit(), text);
        QTest::keyClick(no1->lineEdit(), leave);
    };
    typeAndLeave("yes", Qt::Key_Return);
    QCOMPARE(no1->currentText(), QStringLiteral("yes"));
    typeAndLeave("yes", Qt::Key_Tab);
    QCOMPARE(no1->currentText(), QStringLiteral("yes"));
    typeAndLeave("ye", Qt::Key_Tab);
    QCOMPARE(no1->currentText(), QStringLiteral("ye"));
    typeAndLeave("n", Qt::Key_Return);
    QCOMPARE(no1->currentText(), QStringLiteral("n"));
    QCOMPARE(no1->count(), 2);
    QCOMPARE(no1->itemText(0), QStringLiteral("Yes"));
    QCOMPARE(no1->itemText(1), QStringLiteral("No"));

    // Typed "yes" does not pass Next: the warning comes.
    h.fillAll();
    typeAndLeave("yes", Qt::Key_Tab);
    h.dialogs.expectMessage(kWarning, kWarningTitle, Buttons::YesNo, Icon::Critical, Answer::Yes);
    h.click(h.program->page(1), "next");
    VERIFY_DIALOGS(h);
}

void tst_Pages::backKeepsTypedAnswers()
{
    Harness h;
    h.continueToPage1();
    h.fillAll();
    h.click(h.program->page(1), "next");
    h.response(3)->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.response(3), " typed on page 2");
    QTest::keyClick(h.response(3), Qt::Key_Return);
    QTest::keyClicks(h.response(3), "second line");
    h.answer(4)->setCurrentText("No");
    h.click(h.program->page(2), "Back");
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    h.click(h.program->page(1), "next");
    QCOMPARE(h.visibleWindows(), QStringList{"Std2"});
    QCOMPARE(h.response(3)->toPlainText(), QStringLiteral("Response 3 typed on page 2\nsecond line"));
    QCOMPARE(h.answer(4)->currentText(), QStringLiteral("No"));
    VERIFY_DIALOGS(h);
}

void tst_Pages::finishShowsCompletionWindowFirst_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Yes stays on") << Answer::Yes;
    QTest::newRow("No ends the program") << Answer::No;
}

void tst_Pages::finishShowsCompletionWindowFirst()
{
    QFETCH(Answer, answer);
    Harness h;
    h.continueToPage1();
    QuestionPage *last = showPage(h, 10);
    last->showExample(25);
    QStringList atWarning;
    h.dialogs.onDialog = [&] { atWarning = h.visibleWindows(); };
    h.dialogs.expectMessage(kWarning, kWarningTitle, Buttons::YesNo, Icon::Critical, answer);
    h.click(last, "next");
    VERIFY_DIALOGS(h);
    // The completion window is already up, alone, when the warning comes,
    // and the warning stands in front of it.
    QCOMPARE(atWarning, QStringList{"Std11"});
    QCOMPARE(h.dialogs.parents.last(), h.program->std11());
    if (answer == Answer::Yes) {
        QCOMPARE(h.visibleWindows(), QStringList{"Std11"});
        QCOMPARE(h.lifetime.endProgramCalls, 0);
    } else {
        QCOMPARE(h.lifetime.endProgramCalls, 1);
    }
}

void tst_Pages::exampleWindowIsSharedAndFollowsNavigation()
{
    Harness h;
    h.continueToPage1();
    h.fillAll();
    const auto &c = QuestionnaireCatalogue::instance();
    QuestionPage *p1 = h.program->page(1);
    p1->showExample(1);
    p1->showExample(2);
    ExampleWindow *example = h.program->example();
    QCOMPARE(example->windowTitle(), QStringLiteral("Help!"));
    QCOMPARE(example->text(), c.item(2).example);
    QCOMPARE(h.visibleWindows(), (QStringList{"Example", "Std1"}));
    // Next hides it; HELP on page 2 brings it back with page 2's text.
    h.click(p1, "next");
    QCOMPARE(h.visibleWindows(), QStringList{"Std2"});
    QuestionPage *p2 = h.program->page(2);
    auto *label8 = p2->findChild<QLabel *>("Label8");
    QTest::mouseClick(label8, Qt::LeftButton);
    QCOMPARE(h.program->example(), example);
    QCOMPARE(example->text(), c.item(4).example);
    QVERIFY(example->text().contains(QLatin1String("\\n")));
    QCOMPARE(h.visibleWindows(), (QStringList{"Example", "Std2"}));
    // Back hides it too; Save or Save As would not.
    h.click(p2, "Back");
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    VERIFY_DIALOGS(h);
}

void tst_Pages::exampleWindowRecreatedAfterClose()
{
    Harness h;
    h.continueToPage1();
    h.program->page(1)->showExample(1);
    ExampleWindow *first = h.program->example();
    first->close();
    Harness::flushDeletes();
    QVERIFY(!h.program->existing(WindowId::Example));
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 0);
    h.program->page(1)->showExample(2);
    QCOMPARE(h.program->example()->text(), QuestionnaireCatalogue::instance().item(2).example);
    QVERIFY(h.program->example()->isVisible());
}

BREVANT_TEST_MAIN(tst_Pages)
#include "tst_pages.moc"
