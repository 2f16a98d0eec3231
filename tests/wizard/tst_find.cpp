// Find and Replace over the 27 responses: through pages never made, round
// from requirement 27 to 1 and back, Replace All as one undo step per box,
// and the replacements in the recovery copy.
#include "files.h"
#include "harness.h"
#include "testmain.h"

#include "navigation/findwindow.h"
#include "questionnaire/questionpage.h"
#include "workfile/recoveryfile.h"
#include "workfile/recoveryrecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

namespace {

// ARCH104 in four requirements on four pages; ARCH1040 is not it as a
// whole word.
QStringList responses()
{
    QStringList texts(kItemCount);
    texts[0] = QStringLiteral("See ARCH104");
    texts[3] = QStringLiteral("Drawing is ARCH104.");
    texts[18] = QStringLiteral("arch104 twice: Arch104");
    texts[26] = QStringLiteral("Studio ARCH1040 and ARCH104");
    return texts;
}

} // namespace

class tst_Find : public QObject {
    Q_OBJECT
private slots:
    void findsThroughEveryResponseAndRound();
    void replaceAllIsUndoneBoxByBoxAndRecovered();
};

void tst_Find::findsThroughEveryResponseAndRound()
{
    Harness h;
    h.continueToPage1();
    h.program->questionnaire().setResponses(responses());
    QVERIFY(!h.program->existingPage(8) && !h.program->existingPage(10));
    QuestionPage *page1 = h.program->page(1);
    QVERIFY(QTest::qWaitForWindowActive(page1));

    // Ctrl+F with "ARCH104" selected in the first box looks for it.
    QPlainTextEdit *box = h.response(1);
    box->setFocus();
    QTextCursor selection = box->textCursor();
    selection.setPosition(4);
    selection.setPosition(11, QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    QTest::keyClick(box, Qt::Key_F, Qt::ControlModifier);
    FindWindow *find = h.program->findWindow();
    QVERIFY(QTest::qWaitForWindowActive(find));
    QCOMPARE(find->findChild<QLineEdit *>("findText"), QApplication::focusWidget());
    QCOMPARE(find->query().text, QStringLiteral("ARCH104"));

    const auto expectHit = [&](int item, int at, const char *page) {
        QCOMPARE(h.visibleWindows(), (QStringList{"Find", page}));
        const QTextCursor hit = h.response(item)->textCursor();
        QCOMPARE(hit.selectionStart(), at);
        QCOMPARE(hit.selectedText().toUpper(), QStringLiteral("ARCH104"));
        QCOMPARE(h.program->page(QuestionnaireCatalogue::instance().item(item).page)->focusWidget(), h.response(item));
    };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    expectHit(4, 11, "Std2");
    QCOMPARE(find->status(), QStringLiteral("6 matches in 4 requirements: 1, 4, 19, 27"));
    QVERIFY(find->isActiveWindow());
    QTest::keyClick(find, Qt::Key_F3);
    expectHit(19, 0, "Std8");
    QTest::keyClick(find, Qt::Key_F3);
    expectHit(19, 15, "Std8");
    QTest::keyClick(find, Qt::Key_F3);
    expectHit(27, 7, "Std10");
    QTest::keyClick(find, Qt::Key_F3);
    expectHit(27, 20, "Std10");
    QTest::keyClick(find, Qt::Key_F3);
    expectHit(1, 4, "Std1");
    QVERIFY(find->status().endsWith(QStringLiteral("Passed requirement 27, went on from requirement 1.")));
    QTest::keyClick(find, Qt::Key_F3, Qt::ShiftModifier);
    expectHit(27, 20, "Std10");
    QVERIFY(find->status().endsWith(QStringLiteral("Passed requirement 1, went on from requirement 27.")));
    // F3 on the page goes on from there, the keyboard staying in the box.
    h.program->showWindow(h.program->page(10));
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(10)));
    QTest::keyClick(h.response(27), Qt::Key_F3);
    expectHit(1, 4, "Std1");

    // Whole words, then the case as typed; the count follows once typing pauses.
    find->findChild<QCheckBox *>("wholeWords")->click();
    QTRY_COMPARE(find->status(), QStringLiteral("5 matches in 4 requirements: 1, 4, 19, 27"));
    find->findChild<QCheckBox *>("matchCase")->click();
    QTRY_COMPARE(find->status(), QStringLiteral("3 matches in 3 requirements: 1, 4, 27"));
    find->findChild<QLineEdit *>("findText")->setText(QStringLiteral("arch1040"));
    QTRY_COMPARE(find->status(), QStringLiteral("No matches"));
    h.click(find, "findNext");
    QCOMPARE(find->status(), QStringLiteral("No matches"));
    VERIFY_DIALOGS(h);   // said in the window, never in a message box
}

void tst_Find::replaceAllIsUndoneBoxByBoxAndRecovered()
{
    Harness h;
    h.continueToPage1();
    const QStringList before = responses();
    h.program->questionnaire().setResponses(before);
    h.program->showFind(QStringLiteral("ARCH104"));
    FindWindow *find = h.program->findWindow();
    find->findChild<QLineEdit *>("replaceText")->setText(QStringLiteral("ARCH 104"));

    // Replace: the match shown, then on to the next.
    h.click(find, "findNext");
    QCOMPARE(h.response(1)->textCursor().selectedText(), QStringLiteral("ARCH104"));
    h.click(find, "replace");
    QCOMPARE(h.program->questionnaire().response(1), QStringLiteral("See ARCH 104"));
    QCOMPARE(h.response(4)->textCursor().selectionStart(), 11);

    h.click(find, "replaceAll");
    QCOMPARE(find->status(), QStringLiteral("Replaced 5 matches in 3 requirements: 4, 19, 27"));
    const QStringList after = h.program->questionnaire().responses();
    QCOMPARE(after.at(18), QStringLiteral("ARCH 104 twice: ARCH 104"));
    QCOMPARE(after.at(26), QStringLiteral("Studio ARCH 1040 and ARCH 104"));

    // The recovery copy holds what the replacements made.
    RecoveryRecorder &recovery = h.program->recovery();
    recovery.flush();
    const std::optional<RecoveryCopy> copy = decodeRecoveryCopy(fileBytes(recovery.copyPath()), nullptr);
    QVERIFY(copy);
    QCOMPARE(copy->responses, after);

    // One undo in a box takes back all it replaced there, and no more.
    h.response(19)->undo();
    QCOMPARE(h.program->questionnaire().response(19), before.at(18));
    h.program->questionnaire().document(27)->undo();
    QCOMPARE(h.program->questionnaire().response(27), before.at(26));
    h.response(1)->undo();
    QCOMPARE(h.program->questionnaire().response(1), before.at(0));
    QCOMPARE(h.program->questionnaire().response(4), after.at(3));

    // One Undo in the window takes a whole Replace All back; a response
    // edited since keeps its text.
    h.program->questionnaire().setResponses(before);
    h.click(find, "replaceAll");
    QCOMPARE(h.program->questionnaire().response(27), after.at(26));
    h.response(19)->setFocus();
    h.response(19)->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.response(19), QStringLiteral(" edited"));
    const QString edited = h.program->questionnaire().response(19);
    auto *field = find->findChild<QLineEdit *>("findText");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.program->questionnaire().response(1), before.at(0));
    QCOMPARE(h.program->questionnaire().response(4), before.at(3));
    QCOMPARE(h.program->questionnaire().response(27), before.at(26));
    QCOMPARE(h.program->questionnaire().response(19), edited);
    QCOMPARE(find->status(), QStringLiteral("Replace All taken back in 3 requirements; 1 requirement edited since keeps its text."));
    // Nothing more to take back; the field's own typing is its own.
    h.click(find, "undoReplaceAll");
    QCOMPARE(find->status(), QStringLiteral("No Replace All to take back."));
    const QString was = field->text();
    QTest::keyClicks(field, QStringLiteral("x"));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field->text(), was);
    VERIFY_DIALOGS(h);
}

BREVANT_TEST_MAIN(tst_Find)
#include "tst_find.moc"
