// The Contents window driven as its users drive it (keys, a double click,
// a screen reader's press action), the states it shows as the responses
// change, and the keys of the pages doing what their buttons do.
#include "files.h"
#include "harness.h"
#include "testmain.h"

#include "app/std11.h"
#include "core/catalogue.h"
#include "navigation/contentsentry.h"
#include "navigation/contentswindow.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

static const QString kWarning = QStringLiteral("Requirements are not met, Do you want to continue");

static QWidget *focused()
{
    return QApplication::focusWidget();
}

class tst_Contents : public QObject {
    Q_OBJECT
private slots:
    void choosingShowsThePageAlone_data();
    void choosingShowsThePageAlone();
    void entriesFollowTheResponses();
    void keysDoWhatTheButtonsDo();
    void cursorWhereTheUserGoesOn();
};

void tst_Contents::choosingShowsThePageAlone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Return") << "Return";
    QTest::newRow("double click") << "double click";
    QTest::newRow("press action") << "press action";
}

void tst_Contents::choosingShowsThePageAlone()
{
    QFETCH(QString, how);
    Harness h;
    h.continueToPage1();
    QuestionPage *page1 = h.program->page(1);
    QVERIFY(QTest::qWaitForWindowActive(page1));
    // F1 in the answer box shows requirement 1's example, as its HELP does.
    QTest::keyClick(focused(), Qt::Key_F1);
    QVERIFY(h.program->example()->isVisible());
    QCOMPARE(h.program->example()->text(), QuestionnaireCatalogue::instance().item(1).example);

    // The button takes the keyboard from requirement 2's box; the Contents
    // opens on requirement 2 all the same.
    h.response(2)->setFocus();
    page1->findChild<QPushButton *>("contents")->setFocus();
    h.click(page1, "contents");
    ContentsWindow *contents = h.program->contents();
    QVERIFY(QTest::qWaitForWindowActive(contents));
    QCOMPARE(contents->windowTitle(), QStringLiteral("Contents"));
    QCOMPARE(focused(), contents->entry(2));
    // To requirement 19 by the keys: the last entry, then eight up.
    QTest::keyClick(focused(), Qt::Key_End);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(focused(), Qt::Key_Up);
    ContentsEntry *entry = contents->entry(19);
    QCOMPARE(focused(), entry);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(entry);
    QCOMPARE(accessible->role(), QAccessible::ListItem);
    QCOMPARE(accessible->text(QAccessible::Name),
             QStringLiteral("Requirement 19, no response yet, draft, section 5-2:2.4: ii. One of the following: i) "
                            "Professional program\u2026"));

    // A page lower than its requirements: 19 is below the fold until shown.
    h.program->page(8)->resize(940, 300);
    if (how == "Return")
        QTest::keyClick(entry, Qt::Key_Return);
    else if (how == "double click")
        QTest::mouseDClick(entry, Qt::LeftButton);
    else
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());

    // Page 8 alone beside the Contents, though page 1 is incomplete: no
    // warning, and the Example window gone.
    QCOMPARE(h.visibleWindows(), (QStringList{"Contents", "Std8"}));
    QuestionPage *page8 = h.program->page(8);
    QCOMPARE(page8->focusWidget(), h.response(19));
    QVERIFY(!h.response(19)->visibleRegion().isEmpty());
    QVERIFY(QTest::qWaitForWindowActive(page8));
    QTest::keyClicks(focused(), "typed");
    QCOMPARE(h.program->questionnaire().response(19), QStringLiteral("typed"));
    VERIFY_DIALOGS(h);
}

// A response loaded (or restored) is gone on with at its end; one the user
// was in, where the user left it.
void tst_Contents::cursorWhereTheUserGoesOn()
{
    Harness h;
    h.continueToPage1();
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i)
        texts << QStringLiteral("Loaded response %1.").arg(i);
    h.program->questionnaire().setResponses(texts);
    h.program->showContents(12);
    QTest::keyClick(h.program->contents()->entry(12), Qt::Key_Return);
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(5)));
    QTest::keyClicks(focused(), " More.");
    QCOMPARE(h.program->questionnaire().response(12), QStringLiteral("Loaded response 12. More."));

    // In the box, the cursor moved to its start: Contents comes back there.
    QTest::keyClick(focused(), Qt::Key_Home, Qt::ControlModifier);
    h.program->showContents(12);
    QTest::keyClick(h.program->contents()->entry(12), Qt::Key_Return);
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(5)));
    QCOMPARE(h.response(12)->textCursor().position(), 0);
    VERIFY_DIALOGS(h);
}

void tst_Contents::entriesFollowTheResponses()
{
    Harness h;
    h.continueToPage1();
    // Loaded while its page was never made: counted when the Contents asks.
    QStringList texts(kItemCount);
    texts[26] = QStringLiteral("three words here");
    h.program->questionnaire().setResponses(texts);
    QVERIFY(!h.program->existingPage(10));
    h.click(h.program->page(1), "contents");
    ContentsWindow *contents = h.program->contents();
    QCOMPARE(contents->entry(27)->words(), QStringLiteral("3 words"));
    QCOMPARE(contents->entry(27)->state(), QStringLiteral("complete"));
    QCOMPARE(contents->entry(2)->state(), QStringLiteral("no response yet"));
    QCOMPARE(contents->summary(), QStringLiteral("1 of 27 requirements complete; 0 of 27 approved, 0 open comments"));

    // Typing and the answer box, through the page's real boxes.
    QTest::keyClicks(h.response(2), "Hello world");
    QTRY_COMPARE(contents->entry(2)->state(), QStringLiteral("complete"));
    QCOMPARE(contents->entry(2)->words(), QStringLiteral("2 words"));
    QTRY_COMPARE(contents->findChild<QLabel *>("summary")->text(),
                 QStringLiteral("2 of 27 requirements complete; 0 of 27 approved, 0 open comments"));
    QLineEdit *answer = h.answer(2)->lineEdit();
    answer->selectAll();
    QTest::keyClicks(answer, "No");
    QTRY_COMPARE(contents->entry(2)->state(), QStringLiteral("answer reads \"No\""));
    QVERIFY(contents->entry(2)->accessibleName().startsWith(QStringLiteral("Requirement 2, answer reads \"No\", 2 words, draft")));
    h.response(2)->selectAll();
    QTest::keyClick(h.response(2), Qt::Key_Delete);
    QTRY_COMPARE(contents->entry(2)->state(), QStringLiteral("no response yet, answer reads \"No\""));
    QCOMPARE(contents->entry(2)->words(), QString());
    QTRY_COMPARE(contents->findChild<QLabel *>("summary")->text(),
                 QStringLiteral("1 of 27 requirements complete; 0 of 27 approved, 0 open comments"));
    // Escape closes the Contents alone.
    QTest::keyClick(contents->entry(2), Qt::Key_Escape);
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
}

void tst_Contents::keysDoWhatTheButtonsDo()
{
    Harness h;
    h.continueToPage1();
    QuestionPage *page1 = h.program->page(1);
    QCOMPARE(page1->findChild<QPushButton *>("Save")->toolTip(), QStringLiteral("Save (Ctrl+S)"));
    QCOMPARE(page1->findChild<QPushButton *>("SaveAs")->toolTip(), QStringLiteral("Save As (Ctrl+Shift+S)"));
    QCOMPARE(page1->findChild<QPushButton *>("next")->toolTip(), QStringLiteral("Next (Ctrl+PgDown)"));
    QCOMPARE(h.program->page(2)->findChild<QPushButton *>("Back")->toolTip(), QStringLiteral("Back (Ctrl+PgUp)"));

    // Ctrl+S in a response box writes the work file held, without a dialog.
    const QString held = h.folder.filePath("held.dat");
    WorkFileState &state = h.program->questionnaire().workFile();
    state.pFileOpened = true;
    state.Name_File = held;
    QVERIFY(QTest::qWaitForWindowActive(page1));
    QPlainTextEdit *box = h.response(1);
    box->setFocus();
    QTest::keyClicks(box, "Saved by a key");
    h.dialogs.expectMessage("Successfully Saved..", "Saved");
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(held).startsWith("Saved by a key\r\n%%%%"));
    // Ctrl+Shift+S asks where, as Save As does.
    h.dialogs.expectSave(QStringLiteral("Dat Files (*.dat)|*.dat"), FileDialogOutcome::cancelled());
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    VERIFY_DIALOGS(h);

    // Ctrl+PgDown tests the page and warns as Next does; Ctrl+PgUp goes
    // back from the answer box, and does nothing where there is no Back.
    h.dialogs.expectMessage(kWarning, "Exiting", Buttons::YesNo, Icon::Critical, Answer::Yes);
    QTest::keyClick(box, Qt::Key_PageDown, Qt::ControlModifier);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.visibleWindows(), QStringList{"Std2"});
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(2)));
    QCOMPARE(focused(), h.answer(3));
    QTest::keyClick(focused(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    QTest::keyClick(box, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});

    // Finish by its key on page 10, reached through the Contents: the
    // Contents goes with the pages, and Ctrl+P prints as Print does.
    h.fillAll();
    h.click(page1, "contents");
    QTest::keyClick(h.program->contents()->entry(27), Qt::Key_Return);
    QCOMPARE(h.visibleWindows(), (QStringList{"Contents", "Std10"}));
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(10)));
    QTest::keyClick(h.response(27), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(h.visibleWindows(), QStringList{"Std11"});
    h.printers.printer = QStringLiteral("Office");
    h.dialogs.expectMessage("Successfully Printed..", "Printing");
    QVERIFY(QTest::qWaitForWindowActive(h.program->std11()));
    QTest::keyClick(h.program->std11(), Qt::Key_P, Qt::ControlModifier);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.printers.documents.size(), 1);
}

BREVANT_TEST_MAIN(tst_Contents)
#include "tst_contents.moc"
