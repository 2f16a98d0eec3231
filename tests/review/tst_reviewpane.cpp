// The review beside each response through the real widgets: a comment on
// selected words with Ctrl+Alt+M and the pane's line, a reply with Enter,
// Space to resolve, Delete; the passage followed as the response is
// edited and missed once it is gone; the state set in its box; the
// Contents window telling all of it.

#include "harness.h"
#include "navigation/contentsentry.h"
#include "navigation/contentswindow.h"
#include "questionnaire/questionpage.h"
#include "questionnaire/reviewmodel.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestReviewPane : public QObject {
    Q_OBJECT
private slots:
    void commentsThroughTheKeyboard();
    void stateAndContents();
};

void TestReviewPane::commentsThroughTheKeyboard()
{
    Harness h;
    h.continueToPage1();
    QuestionPage *page = h.program->page(1);
    ReviewModel &review = h.program->questionnaire().review();
    review.setAuthor(u"Quality Office"_s, true);
    QPlainTextEdit *box = h.response(1);
    QVERIFY(QTest::qWaitForWindowActive(page));
    box->setFocus();
    QTest::keyClicks(box, "We have ten FTE faculty positions in the department.");

    // Ctrl+Alt+M with nothing selected says what to do.
    QTest::keyClick(box, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
    QLabel *summary = page->findChild<QLabel *>(u"comments1"_s);
    QVERIFY(summary->text().startsWith(u"Select the words"_s));

    // "ten FTE faculty positions" selected, the comment typed in the pane.
    QTextCursor select = box->textCursor();
    select.setPosition(8);
    select.setPosition(33, QTextCursor::KeepAnchor);
    box->setTextCursor(select);
    QTest::keyClick(box, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
    QLineEdit *line = page->findChild<QLineEdit *>(u"commentText1"_s);
    QTRY_VERIFY(line->hasFocus());
    QTest::keyClicks(line, "Give the head count as well.");
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(review.comments(1).size(), 1);
    const ReviewComment comment = review.comments(1).first();
    QCOMPARE(comment.quote, u"ten FTE faculty positions"_s);
    QCOMPARE(comment.author, u"Quality Office"_s);
    QCOMPARE(summary->text(), u"1 open comment"_s);
    QListWidget *list = page->findChild<QListWidget *>(u"commentList1"_s);
    QVERIFY(list->isVisibleTo(page));
    QVERIFY(list->item(0)->text().contains(u"on \u201cten FTE faculty positions\u201d: Give the head count as well."_s));

    // Typed before it, the passage moves along; choosing the comment
    // selects it in the box.
    box->moveCursor(QTextCursor::Start);
    QTest::keyClicks(box, "Today ");
    list->setFocus();
    list->setCurrentRow(-1);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(box->textCursor().selectedText(), u"ten FTE faculty positions"_s);
    QCOMPARE(review.current().requirement(1).comments.first().offset, std::optional<qint64>(14));

    // Enter replies, Space resolves, Space opens it again.
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(line->hasFocus());
    QTest::keyClicks(line, "Will do.");
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(review.comments(1).first().replies.size(), 1);
    QCOMPARE(review.comments(1).first().replies.first().text, u"Will do."_s);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(review.comments(1).first().resolved);
    QCOMPARE(summary->text(), u"1 comment, resolved"_s);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!review.comments(1).first().resolved);

    // Its words deleted: the comment stays and says its passage is gone.
    QTextCursor cut = box->textCursor();
    cut.setPosition(14);
    cut.setPosition(39, QTextCursor::KeepAnchor);
    box->setTextCursor(cut);
    QTest::keyClick(box, Qt::Key_Delete);
    QTRY_VERIFY(list->item(0)->text().contains(u"its passage is no longer in the response"_s));
    QVERIFY(review.passage(1, comment.id).isNull());
    // Typed again elsewhere: found there.
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, " We have ten FTE faculty positions.");
    QVERIFY(!review.passage(1, comment.id).isNull());

    // Escape drops a comment begun; Delete in the list takes it away.
    select = box->textCursor();
    select.setPosition(0);
    select.setPosition(5, QTextCursor::KeepAnchor);
    box->setTextCursor(select);
    QTest::keyClick(box, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClicks(line, "never kept");
    QTest::keyClick(line, Qt::Key_Escape);
    QCOMPARE(review.comments(1).size(), 1);
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    QVERIFY(review.comments(1).isEmpty());
    QVERIFY(!list->isVisibleTo(page));
    QCOMPARE(summary->text(), u"No comments"_s);
}

// The state chosen in its box; the Contents window says it with the open
// comments, and its summary counts both.
void TestReviewPane::stateAndContents()
{
    Harness h;
    h.continueToPage1();
    h.fillAll();
    QuestionPage *page = h.program->page(1);
    ReviewModel &review = h.program->questionnaire().review();
    QComboBox *state = page->findChild<QComboBox *>(u"state2"_s);
    QCOMPARE(state->currentText(), u"draft"_s);
    QCOMPARE(state->accessibleName(), u"Review state of requirement 2"_s);
    state->setFocus();
    QTest::keyClick(state, Qt::Key_End);
    QCOMPARE(review.state(2), ReviewState::Approved);
    review.addComment(3, 0, 8, u"Which year?"_s);
    review.addComment(3, 9, 1, u"And the total?"_s);
    h.click(page, "contents");
    ContentsWindow *contents = h.program->contents();
    QTRY_COMPARE(contents->entry(2)->review(), u"approved"_s);
    QCOMPARE(contents->entry(3)->review(), u"draft, 2 open comments"_s);
    QVERIFY(contents->entry(3)->accessibleName().contains(u"draft, 2 open comments"_s));
    QTRY_COMPARE(contents->findChild<QLabel *>(u"summary"_s)->text(),
                 u"27 of 27 requirements complete; 1 of 27 approved, 2 open comments"_s);
    // Set elsewhere, the page's box follows.
    review.setState(2, ReviewState::ChangesRequested);
    QCOMPARE(state->currentText(), u"changes requested"_s);
    QTRY_COMPARE(contents->entry(2)->review(), u"changes requested"_s);
}

BREVANT_TEST_MAIN(TestReviewPane)
#include "tst_reviewpane.moc"
