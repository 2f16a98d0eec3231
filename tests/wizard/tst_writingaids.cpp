// What the pages give the user while writing: the placeholder of an empty
// box, the live count under each box, and what the page warning names.
#include "harness.h"
#include "testmain.h"

#include "core/catalogue.h"
#include "questionnaire/questionpage.h"
#include "ui/responseaids.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

using namespace brevant;
using namespace brevant::test;

static const QString kWarning = QStringLiteral("Requirements are not met, Do you want to continue");
static const QString kWarningTitle = QStringLiteral("Exiting");

static CountLine *countOf(Harness &h, int item)
{
    const QuestionnaireItem &it = QuestionnaireCatalogue::instance().item(item);
    return h.program->page(it.page)->findChild<CountLine *>(QStringLiteral("count_") + it.responseBox);
}

class tst_WritingAids : public QObject {
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void countLineFollowsTyping();
    void countStaysRightThroughEdits();
    void emptyBoxShowsPlaceholderOnly();
    void warningNamesWhatIsMissing_data();
    void warningNamesWhatIsMissing();
};

void tst_WritingAids::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("one word") << "Dunvale" << "1 word, 7 characters";
    QTest::newRow("one character") << "a" << "1 word, 1 character";
    QTest::newRow("sentence") << "Three degrees are offered." << "4 words, 26 characters";
    QTest::newRow("blank only") << "   " << "0 words, 3 characters";
    QTest::newRow("line breaks only") << "\n\n" << "0 words, 0 characters";
    QTest::newRow("multi-line") << "first line\nsecond\n\n  third  " << "4 words, 25 characters";
    QTest::newRow("line separator") << QString("one") + QChar(0x2028) + "two" << "2 words, 6 characters";
    QTest::newRow("tab between") << "a\tb" << "2 words, 3 characters";
    QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x9F\x98\x80 ok") << "2 words, 4 characters";
}

void tst_WritingAids::counts()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QCOMPARE(countLine(countText(text)), line);
    // The same through a real box and its line.
    Harness h;
    h.continueToPage1();
    h.response(1)->setPlainText(text);
    QCOMPARE(countOf(h, 1)->text(), line);
}

void tst_WritingAids::countLineFollowsTyping()
{
    Harness h;
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    CountLine *line = countOf(h, 1);
    QVERIFY(line);
    QCOMPARE(line->text(), QString());   // blank while empty
    QVERIFY(line->isVisible());
    QCOMPARE(line->palette().color(QPalette::WindowText), box->palette().color(QPalette::PlaceholderText));
    QVERIFY(line->font().pointSizeF() < box->font().pointSizeF());

    QTest::keyClicks(box, "Hello");
    QCOMPARE(line->text(), QStringLiteral("1 word, 5 characters"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "two words");
    QCOMPARE(line->text(), QStringLiteral("3 words, 14 characters"));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(line->text(), countLine(countText(box->toPlainText())));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(line->text(), QString());

    // Screen readers find the line as the box's description once typing
    // pauses; it does not change at every key.
    QTest::keyClicks(box, "ab");
    QCOMPARE(box->accessibleDescription(), QString());
    QTRY_COMPARE(box->accessibleDescription(), QStringLiteral("1 word, 2 characters"));
    QCOMPARE(h.program->questionnaire().response(1), QStringLiteral("ab"));
}

void tst_WritingAids::countStaysRightThroughEdits()
{
    // Only the paragraphs an edit touches are counted again; whatever the
    // edit, the line agrees with a count of the whole text.
    Harness h;
    h.continueToPage1();
    QPlainTextEdit *box = h.response(2);
    CountLine *line = countOf(h, 2);
    box->setPlainText("alpha beta\ngamma\n\ndelta epsilon zeta\neta");
    QCOMPARE(line->text(), QStringLiteral("7 words, 36 characters"));
    QRandomGenerator random(14);
    const QStringList pieces = {"x", " ", "\n", "word ", "two\nlines", "\n\n", "", "  tail"};
    for (int n = 0; n < 400; ++n) {
        QTextCursor cursor(box->document());
        const int end = box->document()->characterCount() - 1;
        const int a = random.bounded(end + 1);
        const int b = random.bounded(end + 1);
        cursor.setPosition(std::min(a, b));
        cursor.setPosition(random.bounded(3) == 0 ? std::min(a, b) : std::max(a, b), QTextCursor::KeepAnchor);
        cursor.insertText(pieces.at(random.bounded(pieces.size())));
        if (n % 50 == 49)
            box->undo();
        const QString expected = box->document()->isEmpty() ? QString() : countLine(countText(box->toPlainText()));
        QVERIFY2(line->text() == expected,
                 qPrintable(QStringLiteral("edit %1: %2, expected %3").arg(n).arg(line->text(), expected)));
    }
    // Load replaces the whole text at once. Boxes of pages not shown are
    // counted when their page comes.
    QStringList loaded(kItemCount, QStringLiteral("one two"));
    loaded[3] = QStringLiteral("three words here\nand more");
    h.program->questionnaire().setResponses(loaded);
    QCOMPARE(line->text(), QStringLiteral("2 words, 7 characters"));
    h.click(h.program->page(1), "next");   // complete now: no warning
    QCOMPARE(countOf(h, 4)->text(), QStringLiteral("5 words, 24 characters"));
    QTest::keyClick(h.response(4), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(h.response(4), " x");
    QCOMPARE(countOf(h, 4)->text(), QStringLiteral("6 words, 26 characters"));
}

void tst_WritingAids::emptyBoxShowsPlaceholderOnly()
{
    Harness h;
    for (int i = 1; i <= kItemCount; ++i) {
        QPlainTextEdit *box = h.response(i);
        QCOMPARE(box->placeholderText(), QStringLiteral("No response yet"));
        QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(h.program->questionnaire().response(i), QString());
    }
    // An empty box still keeps the page from passing.
    QVERIFY(!h.program->page(1)->isComplete());
}

void tst_WritingAids::warningNamesWhatIsMissing_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<int>>("emptied");    // items whose response is emptied
    QTest::addColumn<QList<int>>("answeredNo"); // items whose answer is "No"
    QTest::addColumn<QList<int>>("named");      // the items named, in page order
    QTest::newRow("one empty response") << 1 << QList<int>{2} << QList<int>{} << QList<int>{2};
    QTest::newRow("one answer No") << 2 << QList<int>{} << QList<int>{3} << QList<int>{3};
    QTest::newRow("several, page order") << 5 << QList<int>{12, 10} << QList<int>{11} << QList<int>{10, 11, 12};
    QTest::newRow("both faults, named once") << 8 << QList<int>{19} << QList<int>{19} << QList<int>{19};
    QTest::newRow("no answer boxes") << 10 << QList<int>{27, 25} << QList<int>{} << QList<int>{25, 27};
}

void tst_WritingAids::warningNamesWhatIsMissing()
{
    QFETCH(int, page);
    QFETCH(QList<int>, emptied);
    QFETCH(QList<int>, answeredNo);
    QFETCH(QList<int>, named);
    Harness h;
    h.continueToPage1();
    h.fillAll();
    for (int item : emptied)
        h.response(item)->clear();
    for (int item : answeredNo)
        h.answer(item)->setCurrentText("No");
    QuestionPage *current = h.program->page(page);
    h.program->hideWindow(h.program->page(1));
    h.program->showWindow(current);
    // Prompt, title, buttons and icon as always; the detail text names the
    // requirements.
    h.dialogs.expectMessage(kWarning, kWarningTitle, Buttons::YesNo, Icon::Critical, Answer::Yes);
    h.click(current, "next");
    VERIFY_DIALOGS(h);
    // Each by its section and the start of its statement, with why.
    QStringList expected;
    for (int item : named) {
        QStringList why;
        if (emptied.contains(item))
            why << "no response yet";
        if (answeredNo.contains(item))
            why << "answer reads \"No\"";
        const QuestionnaireItem &it = QuestionnaireCatalogue::instance().item(item);
        expected << sectionCode(it) + " \"" + requirementName(it) + "\": " + why.join(", ");
    }
    QCOMPARE(h.dialogs.shownDetails, QStringList{expected.join('\n')});
    QVERIFY(QRegularExpression("^5-[12]:[0-9.]+ \"").match(expected.first()).hasMatch());
    // Each named by the start of its statement, as the page shows it.
    for (int item : named) {
        const QString statement = QuestionnaireCatalogue::instance().item(item).statement.text.simplified();
        QString name = requirementName(QuestionnaireCatalogue::instance().item(item));
        QVERIFY(name.size() <= 61);
        if (name.endsWith(QChar(0x2026)))
            name.chop(1);
        QVERIFY2(statement.startsWith(name), qPrintable(name));
    }
}

BREVANT_TEST_MAIN(tst_WritingAids)
#include "tst_writingaids.moc"
