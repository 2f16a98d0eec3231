// Typing into a response box that holds 1 MiB, from key press to repaint,
// against the same in a plain QPlainTextEdit; and the window thread's part
// of one write of the recovery copy.

#include "benches.h"
#include "firstpaint.h"
#include "inputs.h"

#include "harness.h"
#include "questionnaire/reviewmodel.h"
#include "navigation/contentswindow.h"
#include "questionnaire/questionpage.h"
#include "ui/spelling.h"
#include "navigation/contentsentry.h"
#include "ui/responseaids.h"
#include "workfile/recoveryrecorder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include <algorithm>
#include <cmath>
#include <memory>

namespace bench {

namespace {

using brevant::test::Harness;

constexpr qsizetype kTypedResponseSize = 1024 * 1024;

// One key typed at the end of the box, until the box has painted it.
double typeOneKey(QPlainTextEdit *box, PaintWatch &watch, int n)
{
    watch.painted = false;
    const Qt::Key key = Qt::Key(Qt::Key_A + n % 26);
    return timeMs([&] {
        QTest::keyClick(box, key);
        for (int spins = 0; !watch.painted && spins < 1000; ++spins)
            QCoreApplication::processEvents();
    });
}

double percentile(QList<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const qsizetype at = qBound<qsizetype>(0, qsizetype(std::ceil(p * values.size())) - 1, values.size() - 1);
    return values.isEmpty() ? 0 : values.at(at);
}

void prepare(QPlainTextEdit *box, PaintWatch &watch)
{
    box->viewport()->installEventFilter(&watch);
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    for (int i = 0; i < 20; ++i)   // settle the first layout and paints
        QCoreApplication::processEvents();
}

} // namespace

// What is there besides the box: nothing more; the Contents window open
// beside the page, following what is typed; 50 comments on passages of the
// response, each followed as it is edited.
enum class Beside { Nothing, Contents, Comments };

static QList<Row> typing(const Settings &settings, Beside beside)
{
    const bool contents = beside == Beside::Contents;
    // A few misspelt words in every paragraph, so that the underlines are
    // there to be kept up to date.
    QString text = prose(kTypedResponseSize, 2027);
    for (qsizetype at = text.indexOf(QLatin1Char(' ')); at >= 0 && at + 4 < text.size();
         at = text.indexOf(QLatin1Char(' '), at + 97))
        text.replace(at + 1, 3, QStringLiteral("qzx"));

    // Ours: page 1 with the recovery copy, the count lines and spell
    // checking on, as the user has it.
    brevant::Speller speller({QStringLiteral("en_US")});
    if (!speller.available())
        fail(QStringLiteral("no American English dictionary (Debian hunspell-en-us)"));
    auto h = std::make_unique<Harness>(brevant::test::HarnessOptions{.speller = &speller});
    h->continueToPage1();
    brevant::QuestionPage *page = h->program->page(1);
    page->resize(940, 690);
    QPlainTextEdit *ours = h->program->responseBox(1);
    ours->setPlainText(text);
    if (contents) {
        h->program->showContents(1);
        h->program->showWindow(page);
    }
    if (beside == Beside::Comments) {
        // Spread through the text, a few words each, in the page's pane.
        brevant::ReviewModel &review = h->program->questionnaire().review();
        review.setAuthor(QStringLiteral("Quality Office"), true);
        for (int c = 0; c < 50; ++c)
            review.addComment(1, int(text.size() / 50 * c), 24, QStringLiteral("Comment %1").arg(c + 1));
    }
    PaintWatch oursPainted;
    prepare(ours, oursPainted);

    // Baseline: a plain box of the same size, font and text.
    QPlainTextEdit plain;
    plain.resize(ours->size());
    plain.setFont(ours->font());
    plain.setPlainText(text);
    plain.show();
    PaintWatch plainPainted;
    prepare(&plain, plainPainted);

    const int keys = qMax(60, settings.runs * 70);
    QList<double> a, b;
    for (int n = 0; n < keys; ++n) {
        // Alternate, so that a slow spell of the machine hits both alike.
        // Which side goes first changes from key to key.
        if (n % 2 == 0) {
            a << typeOneKey(ours, oursPainted, n);
            b << typeOneKey(&plain, plainPainted, n);
        } else {
            b << typeOneKey(&plain, plainPainted, n);
            a << typeOneKey(ours, oursPainted, n);
        }
        // A quick typist's pace, so that the copy is written meanwhile.
        QTest::qWait(8);
    }
    brevant::RecoveryRecorder &recorder = h->program->recovery();
    recorder.flush();
    if (!recorder.unsaved() || !QFileInfo::exists(recorder.copyPath()))
        fail(QStringLiteral("typing left no recovery copy"));
    if (contents) {
        QCoreApplication::processEvents();
        QTest::qWait(400);   // its next refresh, a moment after the last key
        const QString words = h->program->contents()->entry(1)->words();
        const QString expected = QStringLiteral("%1 words").arg(h->program->questionnaire().counter(1)->count().words);
        if (words != expected)
            fail(QStringLiteral("the Contents says %1 after typing, not %2").arg(words, expected));
    }

    if (beside == Beside::Comments) {
        QTest::qWait(800);   // the pane's look at the passages, after the last key
        const brevant::ReviewModel &review = h->program->questionnaire().review();
        for (const brevant::ReviewComment &comment : review.comments(1)) {
            if (review.passage(1, comment.id).isNull())
                fail(QStringLiteral("typing lost the passage of %1").arg(comment.text));
        }
    }

    Row median;
    const QString figure = beside == Beside::Contents   ? QStringLiteral("Typing in 1 MiB, Contents open")
                           : beside == Beside::Comments ? QStringLiteral("Typing in 1 MiB, 50 comments on it")
                                                        : QStringLiteral("Typing in 1 MiB, counts, spelling on");
    median.figure = figure + QStringLiteral(" (median)");
    median.unit = QStringLiteral("ms");
    median.ours = bench::median(a);
    median.baseline = bench::median(b);
    median.runs = keys;
    median.goal = 1.2;
    median.goalText = QStringLiteral("<= 1.2");
    median.note = QStringLiteral("key press to repaint; baseline: a plain QPlainTextEdit of the same size and text");
    Row tail = median;
    tail.figure = figure + QStringLiteral(" (99th percentile)");
    tail.ours = percentile(a, 0.99);
    tail.baseline = percentile(b, 0.99);
    tail.note.clear();
    return {median, tail};
}

QList<Row> typingRows(const Settings &settings)
{
    return typing(settings, Beside::Nothing);
}

QList<Row> typingWithContentsRows(const Settings &settings)
{
    return typing(settings, Beside::Contents);
}

QList<Row> typingWithCommentsRows(const Settings &settings)
{
    return typing(settings, Beside::Comments);
}

Row recoveryWriteRow(const Settings &settings)
{
    const QStringList texts = responses(kTypedResponseSize);
    auto h = std::make_unique<Harness>();
    h->program->questionnaire().setResponses(texts);
    brevant::RecoveryRecorder &recorder = h->program->recovery();
    recorder.flush();   // the first copy takes every text

    const int runs = qMax(10, settings.runs * 3);
    QList<double> times;
    for (int n = 0; n < runs; ++n) {
        QTextCursor cursor(h->program->responseBox(n % brevant::kItemCount + 1)->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral(" edit%1").arg(n));
        // As when typing pauses: the whole text of the box that changed.
        times << timeMs([&] { recorder.writeNow(brevant::RecoveryRecorder::Take::WholeTexts); });
        recorder.flush();   // untimed: the copy reaches the disk on its own thread
    }
    Row row;
    row.figure = QStringLiteral("Recovery write, window thread (27 x 1 MiB, one changed)");
    row.unit = QStringLiteral("ms");
    row.ours = median(times);
    row.baseline = 5;
    row.runs = runs;
    row.goal = 1.0;
    row.goalText = QStringLiteral("<= 5 ms");
    row.note = QStringLiteral("baseline: the 5 ms budget");
    return row;
}

} // namespace bench
