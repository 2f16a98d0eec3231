// The pages without a mouse: where the keyboard starts, HELP by Tab and
// Enter, the Example window beside the page, and Enter on a button.
#include "harness.h"
#include "testmain.h"

#include "app/std0.h"
#include "core/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "ui/widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

static const QString kWarning = QStringLiteral("Requirements are not met, Do you want to continue");

// Page n shown and active, as if the user had come to it.
static QuestionPage *showPage(Harness &h, int n)
{
    QuestionPage *page = h.program->page(n);
    if (n != 1)
        h.program->hideWindow(h.program->page(1));
    h.program->showWindow(page);
    if (!QTest::qWaitForWindowActive(page))
        qWarning("page %d did not become active", n);
    return page;
}

class tst_Keyboard : public QObject {
    Q_OBJECT
private slots:
    void firstFocusIsTheFirstBox();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void everyWindowsButtonsTakeEnter();
    void helpByKeyboardWithFocusMark();
    void exampleLeavesTheKeyboardWithThePage();
    void screenReadersHearEveryBox();
};

void tst_Keyboard::firstFocusIsTheFirstBox()
{
    Harness h;
    h.continueToPage1();
    const auto &c = QuestionnaireCatalogue::instance();
    for (int p = 1; p <= kPageCount; ++p) {
        QuestionPage *page = showPage(h, p);
        const QuestionnaireItem *first = c.itemsOfPage(p).first();
        QWidget *expected = first->hasAnswer() ? static_cast<QWidget *>(page->answerBox(first->answerBox))
                                               : page->responseBox(first->responseBox);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus == expected || (focus && focus->parentWidget() == expected),
                 qPrintable(QStringLiteral("page %1: focus on %2").arg(p).arg(focus ? focus->objectName() : "nothing")));
        h.program->hideWindow(page);
    }
    // Typing goes into it at once.
    QuestionPage *page4 = showPage(h, 4);
    QTest::keyClicks(QApplication::focusWidget(), "typed");
    QCOMPARE(page4->responseBox("desc21b")->toPlainText(), QStringLiteral("typed"));
}

void tst_Keyboard::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("Space, as always") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    QTest::newRow("Ctrl+Return is not a press") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
    QTest::newRow("a letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0;
}

void tst_Keyboard::enterPressesTheFocusedButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    Harness h;
    h.continueToPage1();
    h.fillAll();
    QuestionPage *page = showPage(h, 1);
    auto *next = page->findChild<QPushButton *>("next");
    next->setFocus(Qt::TabFocusReason);
    QTest::keyClick(next, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(h.visibleWindows(), QStringList{clicks ? "Std2" : "Std1"});
    VERIFY_DIALOGS(h);
}

void tst_Keyboard::everyWindowsButtonsTakeEnter()
{
    Harness h;
    h.continueToPage1();
    int buttons = 0;
    for (Window *window : h.program->everyWindow()) {
        for (QPushButton *b : window->findChildren<QPushButton *>()) {
            QVERIFY2(qobject_cast<PushButton *>(b), qPrintable(window->objectName() + "/" + b->objectName()));
            ++buttons;
        }
    }
    QVERIFY(buttons > 40);

    // The warning comes by Return as by a click, and is answered as always.
    QuestionPage *page = showPage(h, 1);
    auto *next = page->findChild<QPushButton *>("next");
    next->setFocus(Qt::TabFocusReason);
    h.dialogs.expectMessage(kWarning, "Exiting", Buttons::YesNo, Icon::Critical, Answer::Yes);
    QTest::keyClick(next, Qt::Key_Return);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.visibleWindows(), QStringList{"Std2"});
    auto *back = h.program->page(2)->findChild<QPushButton *>("Back");
    back->setFocus(Qt::TabFocusReason);
    QTest::keyClick(back, Qt::Key_Return);
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
}

void tst_Keyboard::helpByKeyboardWithFocusMark()
{
    Harness h;
    h.continueToPage1();
    QuestionPage *page = showPage(h, 1);
    auto *help = page->findChild<QLabel *>("Label5");
    QVERIFY(help->focusPolicy() & Qt::TabFocus);
    // Tab from the answer box comes to HELP, which shows that it has the focus.
    const QImage unfocused = help->grab().toImage();
    page->answerBox("no1")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), help);
    QVERIFY(help->grab().toImage() != unfocused);

    QTest::keyClick(help, Qt::Key_Return);
    ExampleWindow *example = h.program->example();
    QVERIFY(example->isVisible());
    QCOMPARE(example->text(), QuestionnaireCatalogue::instance().item(1).example);
    auto *help2 = page->findChild<QLabel *>("Label6");
    help2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(help2, Qt::Key_Space);
    QCOMPARE(example->text(), QuestionnaireCatalogue::instance().item(2).example);
    // The keyboard is still on the page.
    QCOMPARE(QApplication::focusWidget(), help2);
    QCOMPARE(QApplication::activeWindow(), page);
}

void tst_Keyboard::exampleLeavesTheKeyboardWithThePage()
{
    Harness h;
    h.continueToPage1();
    QuestionPage *page = showPage(h, 1);
    QPlainTextEdit *box = page->responseBox("desc1");
    box->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(box, "before ");
    QTest::mouseClick(page->findChild<QLabel *>("Label5"), Qt::LeftButton);
    ExampleWindow *example = h.program->example();
    QVERIFY(example->isVisible());
    QVERIFY(example->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(QApplication::activeWindow(), page);
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(QApplication::focusWidget(), "after");
    QCOMPARE(box->toPlainText(), QStringLiteral("before after"));

    // Escape closes it; the page stays, and HELP brings it back.
    QTest::keyClick(example, Qt::Key_Escape);
    Harness::flushDeletes();
    QVERIFY(!h.program->existing(WindowId::Example));
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 0);
    page->showExample(2);
    QVERIFY(h.program->example()->isVisible());
    QCOMPARE(QApplication::activeWindow(), page);
    VERIFY_DIALOGS(h);
}

// What the accessibility bridge hands a screen reader, checked without the
// bus (the walk over the bus is tests/accessibility).
void tst_Keyboard::screenReadersHearEveryBox()
{
    Harness h;
    h.continueToPage1();
    const auto &c = QuestionnaireCatalogue::instance();
    const auto labelledBy = [](QWidget *w) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        return a ? a->relations(QAccessible::Label).size() : 0;
    };
    for (const QuestionnaireItem &item : c.items()) {
        QuestionPage *page = h.program->page(item.page);
        const QString name = requirementName(item);
        if (QComboBox *answer = page->answerBox(item.answerBox)) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(answer);
            QCOMPARE(a->text(QAccessible::Name), QuestionnaireCatalogue::answerPromptText(item.page) + ' ' + name);
            QCOMPARE(QAccessible::queryAccessibleInterface(answer->lineEdit())->text(QAccessible::Name),
                     a->text(QAccessible::Name));
            QVERIFY2(labelledBy(answer) > 0, qPrintable(item.answerBox));
        }
        QPlainTextEdit *response = page->responseBox(item.responseBox);
        QVERIFY(QAccessible::queryAccessibleInterface(response)->text(QAccessible::Name).endsWith(name));
        QVERIFY2(labelledBy(response) > 0, qPrintable(item.responseBox));

        QAccessibleInterface *help = QAccessible::queryAccessibleInterface(page->findChild<QLabel *>(item.helpLabel));
        QCOMPARE(help->role(), QAccessible::Link);
        QCOMPARE(help->text(QAccessible::Name), QStringLiteral("HELP"));
        QCOMPARE(help->text(QAccessible::Description), item.statement.text);
        QVERIFY(help->actionInterface());
        QVERIFY(help->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    // The press action opens the example, as a click does.
    QAccessibleInterface *help = QAccessible::queryAccessibleInterface(h.program->page(1)->findChild<QLabel *>("Label6"));
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(h.program->example()->isVisible());
    QCOMPARE(h.program->example()->text(), c.item(2).example);
}

BREVANT_TEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
