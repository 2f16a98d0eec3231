// The questionnaire on its own, with no window made: the completeness rule,
// what counts as a change, and where the responses are kept.
#include "testmain.h"

#include "questionnaire/questionnaire.h"
#include "ui/formatting.h"

#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

using namespace brevant;

class tst_Questionnaire : public QObject {
    Q_OBJECT
private slots:
    void completenessRule_data();
    void completenessRule();
    void formattingIsNoChange();
    void responsesAsTypedWithoutWindows();
};

void tst_Questionnaire::completenessRule_data()
{
    // Page 3: requirement 5 with an answer box, 6 without; page 4: three
    // requirements without one.
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("responses");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("complete");
    QTest::newRow("all filled, Yes") << 3 << QStringList{"a", "b"} << "Yes" << true;
    QTest::newRow("single blank counts") << 3 << QStringList{" ", "\n"} << "Yes" << true;
    QTest::newRow("one empty") << 3 << QStringList{"a", ""} << "Yes" << false;
    QTest::newRow("No") << 3 << QStringList{"a", "b"} << "No" << false;
    QTest::newRow("lower case yes") << 3 << QStringList{"a", "b"} << "yes" << false;
    QTest::newRow("trailing blank") << 3 << QStringList{"a", "b"} << "Yes " << false;
    QTest::newRow("empty answer") << 3 << QStringList{"a", "b"} << "" << false;
    QTest::newRow("no answer boxes") << 4 << QStringList{"a", "b", "c"} << QString() << true;
}

void tst_Questionnaire::completenessRule()
{
    QFETCH(int, page);
    QFETCH(QStringList, responses);
    QFETCH(QString, answer);
    QFETCH(bool, complete);
    Questionnaire q;
    const int first = page == 3 ? 5 : 7;
    QStringList texts(first - 1);
    q.setResponses(texts + responses);
    if (!answer.isNull())
        q.setAnswer(first, answer);
    QCOMPARE(q.isPageComplete(page), complete);
    QCOMPARE(q.incompleteItems(page).isEmpty(), complete);
    QCOMPARE(q.completeCount(), complete ? int(responses.size()) : int(responses.size()) - 1);
    // A fresh questionnaire: every answer "Yes", nothing complete.
    QCOMPARE(Questionnaire().answers(), QStringList(16, QStringLiteral("Yes")));
    QCOMPARE(Questionnaire().completeCount(), 0);
}

// Underlines and marks of what a search found are formatting of the
// layout: no change, nothing unsaved. Typing is one.
void tst_Questionnaire::formattingIsNoChange()
{
    Questionnaire q;
    QTextDocument *document = q.document(1);
    QSignalSpy changes(&q, &Questionnaire::responseChanged);
    {
        const FormattingOnly formatting(document);
        QTextCursor(document).insertText(QStringLiteral("not counted"));
    }
    QCOMPARE(changes.count(), 0);
    QVERIFY(!q.unsaved());
    QTextCursor(document).insertText(QStringLiteral("typed "));
    QCOMPARE(changes.count(), 1);
    QVERIFY(q.unsaved());
    q.markSaved();
    QVERIFY(!q.unsaved());
    // Answers are never in a work file.
    q.setAnswer(1, QStringLiteral("No"));
    QVERIFY(!q.unsaved());
}

void tst_Questionnaire::responsesAsTypedWithoutWindows()
{
    Questionnaire q;
    QStringList texts(kItemCount);
    texts[0] = QStringLiteral("one\ntwo");
    texts[26] = QStringLiteral("caf\u00E9 \u2265 3, \U0001F600, no-break\u00A0space");
    q.setResponses(texts);
    QCOMPARE(q.responses(), texts);
    // Shift+Enter's line separator is a line break too.
    QTextCursor end(q.document(1));
    end.movePosition(QTextCursor::End);
    end.insertText(QString(QChar::LineSeparator) + QStringLiteral("three"));
    QCOMPARE(q.response(1), QStringLiteral("one\ntwo\nthree"));
    // The empty responses have no document until one is asked for.
    QCOMPARE(q.findChildren<QTextDocument *>().size(), 2);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

BREVANT_TEST_MAIN(tst_Questionnaire)
#include "tst_questionnaire.moc"
