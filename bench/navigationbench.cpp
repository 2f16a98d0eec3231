// Going to a page through the Contents window, against Next; Find All over
// the 27 responses, against QString::indexOf over the same texts.

#include "benches.h"
#include "firstpaint.h"
#include "inputs.h"

#include "core/catalogue.h"
#include "harness.h"
#include "navigation/contentsentry.h"
#include "navigation/contentswindow.h"
#include "navigation/responsesearch.h"
#include "questionnaire/questionpage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

#include <memory>

namespace bench {

namespace {

using brevant::kItemCount;
using brevant::kPageCount;
using brevant::QuestionnaireCatalogue;
using brevant::test::Harness;

constexpr qsizetype kResponseSize = 1024 * 1024;

// A key press that shows page `to`, until that page has painted.
double untilPainted(QWidget *to, const std::function<void()> &press)
{
    PaintWatch watch;
    to->installEventFilter(&watch);
    const double ms = timeMs([&] {
        press();
        for (int spins = 0; !watch.painted && spins < 1000; ++spins)
            QCoreApplication::processEvents();
    });
    to->removeEventFilter(&watch);
    if (!watch.painted || !to->isVisible())
        fail(QStringLiteral("page %1 was not shown").arg(to->objectName()));
    return ms;
}

Row pageRow(const Settings &settings)
{
    // Every page complete, so that Next moves without its warning, and
    // made, so that both sides show a page that exists.
    Harness h;
    h.continueToPage1();
    h.fillAll();
    brevant::Program &program = *h.program;
    program.showContents(1);
    const auto &catalogue = QuestionnaireCatalogue::instance();
    const auto firstOf = [&](int page) { return catalogue.itemsOfPage(page).first()->number; };
    const auto onPage = [&](int page) {
        program.showItem(firstOf(page), brevant::WindowHost::Keyboard::ToPage);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    // Each side goes from page 1 to 2, then 2 to 3, ... 9 to 10, and round.
    int oursFrom = 0, nextFrom = 0;
    const auto ours = [&] {
        const int from = oursFrom = oursFrom % (kPageCount - 1) + 1;
        onPage(from);
        brevant::ContentsEntry *entry = program.contents()->entry(firstOf(from + 1));
        return untilPainted(program.page(from + 1), [&] { QTest::keyClick(entry, Qt::Key_Return); });
    };
    const auto next = [&] {
        const int from = nextFrom = nextFrom % (kPageCount - 1) + 1;
        onPage(from);
        auto *button = program.page(from)->findChild<QPushButton *>(QStringLiteral("next"));
        return untilPainted(program.page(from + 1), [&] { QTest::keyClick(button, Qt::Key_Return); });
    };
    const int runs = qMax(18, settings.runs * 9);
    const Medians m = alternate(runs, ours, next);
    if (!h.problems().isEmpty())
        fail(QStringLiteral("a page move showed a dialog: ") + h.problems());

    Row row;
    row.figure = QStringLiteral("Page shown through Contents");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = runs;
    row.goal = 1.2;
    row.goalText = QStringLiteral("<= 1.2");
    row.note = QStringLiteral("Return on an entry to the page painted; baseline: Return on Next of a complete page");
    return row;
}

Row findAllRow(const Settings &settings)
{
    Harness h;
    brevant::Questionnaire &questionnaire = h.program->questionnaire();
    questionnaire.setResponses(responses(kResponseSize));
    const brevant::SearchQuery query{QStringLiteral("Studio")};
    QStringList texts;
    for (int item = 1; item <= kItemCount; ++item)
        texts << questionnaire.document(item)->toRawText();

    qsizetype found = 0, expected = 0;
    const auto ours = [&] { return timeMs([&] { found = brevant::countInResponses(questionnaire, query).matches; }); };
    const auto indexOf = [&] {
        return timeMs([&] {
            expected = 0;
            for (const QString &text : std::as_const(texts)) {
                for (qsizetype at = text.indexOf(query.text, 0, Qt::CaseInsensitive); at >= 0;
                     at = text.indexOf(query.text, at + query.text.size(), Qt::CaseInsensitive))
                    ++expected;
            }
        });
    };
    const Medians m = alternate(settings.runs, ours, indexOf);
    if (found != expected || found == 0)
        fail(QStringLiteral("Find All found %1 matches, indexOf %2").arg(found).arg(expected));

    Row row;
    row.figure = QStringLiteral("Find All (27 x 1 MiB)");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = settings.runs;
    row.goal = 2.0;
    row.goalText = QStringLiteral("<= 2");
    row.note = QStringLiteral("%1 matches, the case ignored; baseline: QString::indexOf over the texts taken out before").arg(found);
    return row;
}

} // namespace

QList<Row> navigationRows(const Settings &settings)
{
    return {pageRow(settings), findAllRow(settings)};
}

} // namespace bench
