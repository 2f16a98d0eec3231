// Save, Load and the HTML report, each through the program's own command
// with the dialogs answered by the scripted fake, against the plain Qt way
// of doing the same work.

#include "benches.h"
#include "inputs.h"

#include "app/program.h"
#include "app/std0.h"
#include "core/catalogue.h"
#include "core/workfileformat.h"
#include "io/fileidentity.h"
#include "io/files.h"
#include "workfile/fileguard.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "report/templateselect.h"
#include "ui/spelling.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace bench {

namespace {

using brevant::FileDialogOutcome;
using brevant::kItemCount;
using brevant::test::fileBytes;
using brevant::test::Harness;

const QString kWorkFilter = QStringLiteral("Dat Files (*.dat)|*.dat");
const QString kHtmlFilter = brevant::reportSaveFilter();
constexpr qsizetype kResponseSize = 1024 * 1024;
constexpr qsizetype kShownResponseSize = 10 * 1024;

// Types a word at the end of a response box.
void appendWord(QPlainTextEdit *box, int n)
{
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral(" edit%1").arg(n));
}

// A harness whose program reads the built program folder, with its templates.
std::unique_ptr<Harness> harness(const Settings &settings, brevant::Speller *speller = nullptr)
{
    return std::make_unique<Harness>(
        brevant::test::HarnessOptions{.programFolder = settings.programFolder, .speller = speller});
}

void checkScript(const Harness &h, const QString &command)
{
    if (!h.problems().isEmpty())
        fail(command + QStringLiteral(" did not run as expected: ") + h.problems());
}

// The least any Save can do: take the 27 texts out of their boxes, as the
// program does, and write the bytes of its file with QSaveFile.
double takeTextsAndSave(Harness &h, const QString &path, const QByteArray &bytes)
{
    qsizetype characters = 0;
    const double ms = timeMs([&] {
        QStringList texts;
        texts.reserve(kItemCount);
        for (int item = 1; item <= kItemCount; ++item)
            texts << h.program->responseBox(item)->document()->toRawText();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            fail(QStringLiteral("QSaveFile could not write %1").arg(path));
        for (const QString &text : texts)
            characters += text.size();
    });
    if (characters < kItemCount * kResponseSize)
        fail(QStringLiteral("the boxes hold less than the bench put in them"));
    return ms;
}

// The responses with one character the code page lacks in the middle of
// each, which makes the work file UTF-8.
QStringList beyondTheCodePage(QStringList texts)
{
    for (QString &text : texts)
        text[text.size() / 2] = QChar(0x2265);
    return texts;
}

// The work file read and cut by hand, and the texts set straight into
// plain boxes: the least any Load can do.
double loadIntoPlainBoxes(const QString &path, const QStringList &expected, bool utf8)
{
    QList<QPlainTextEdit *> boxes;
    for (int i = 0; i < kItemCount; ++i)
        boxes << new QPlainTextEdit;
    const double ms = timeMs([&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1").arg(path));
        const QByteArray bytes = file.readAll();
        QStringDecoder decode(utf8 ? "UTF-8" : "windows-1252");
        qsizetype start = utf8 ? 3 : 0;
        for (int i = 0; i < kItemCount; ++i) {
            qsizetype end = bytes.indexOf("%%%%", start);
            if (end < 0)
                end = bytes.size();
            // Without the line ends the format puts around each response.
            const qsizetype from = i > 0 ? start + 2 : start;
            const QByteArrayView piece(bytes.constData() + from, end - 2 - from);
            boxes[i]->setPlainText(decode.isValid() ? decode(piece) : QString::fromLatin1(piece));
            start = end + 4;
        }
    });
    if (boxes.first()->toPlainText().size() != expected.first().size())
        fail(QStringLiteral("the plain Load set another text"));
    qDeleteAll(boxes);
    return ms;
}

// Times a save after typing in one response (the record row) and after
// typing in every response (the goal row: the first save after a Load),
// each against the floor, of one figure ("Save", "HTML report").
template <class Save, class Plain>
QList<Row> editedRows(const Settings &settings, Harness &h, const QString &figure, double goal,
                      const Save &save, const Plain &plain)
{
    int edits = 0;
    const Medians oneEdited = alternate(settings.runs, [&] {
        ++edits;
        appendWord(h.program->responseBox(edits % kItemCount + 1), edits);
        return save();
    }, plain);
    // After a Load: every response new since the file was written.
    const Medians allEdited = alternate(settings.runs, [&] {
        ++edits;
        for (int item = 1; item <= kItemCount; ++item)
            appendWord(h.program->responseBox(item), edits);
        return save();
    }, plain);

    Row one;
    one.figure = figure + QStringLiteral(" (27 x 1 MiB, one response edited)");
    one.unit = QStringLiteral("ms");
    one.ours = oneEdited.ours;
    one.baseline = oneEdited.baseline;
    one.runs = settings.runs;
    one.recordOnly = true;
    one.goalText = QStringLiteral("record");
    Row every = one;
    every.figure = figure + QStringLiteral(" (27 x 1 MiB, every response edited)");
    every.ours = allEdited.ours;
    every.baseline = allEdited.baseline;
    every.recordOnly = false;
    every.goal = goal;
    every.goalText = QStringLiteral("<= ") + QString::number(goal);
    every.note = QStringLiteral("baseline: toRawText() of the 27 boxes and QSaveFile writing the same bytes");
    return {one, every};
}

} // namespace

QList<Row> saveRows(const Settings &settings)
{
    QList<Row> rows = saveRowsOf(settings, responses(kResponseSize));
    // Every response with a character the code page lacks: the file in UTF-8.
    QList<Row> utf8 = saveRowsOf(settings, beyondTheCodePage(responses(kResponseSize)));
    utf8.last().figure = QStringLiteral("Save in UTF-8 (27 x 1 MiB, every response edited)");
    return rows << utf8.last();
}

QList<Row> saveRowsOf(const Settings &settings, const QStringList &texts)
{
    const QString path = settings.workFolder + QStringLiteral("/work.dat");
    const QString basePath = settings.workFolder + QStringLiteral("/plain.dat");
    std::unique_ptr<Harness> h = harness(settings);
    h->program->questionnaire().setResponses(texts);
    brevant::QuestionPage *page = h->program->page(3);

    // One Save, timed; each is a first Save, which asks for the file.
    const auto save = [&] {
        h->program->std0()->state = brevant::WorkFileState{};
        h->dialogs.expectSave(kWorkFilter, FileDialogOutcome::chosen(path))
            .expectMessage(QStringLiteral("Successfully Saved.."), QStringLiteral("Saved"));
        const double ms = timeMs([&] { page->Save_Click(); });
        checkScript(*h, QStringLiteral("Save"));
        return ms;
    };
    const auto plain = [&] { return takeTextsAndSave(*h, basePath, fileBytes(path)); };
    save();   // untimed: writes the file whose bytes the floor writes
    const QList<Row> rows = editedRows(settings, *h, QStringLiteral("Save"), 1.5, save, plain);
    if (fileBytes(path) != brevant::TextToFile(h->program->questionnaire().responses()))
        fail(QStringLiteral("Save wrote other bytes than the responses hold"));
    return rows;
}

Row saveCheckRow(const Settings &settings)
{
    const QString path = settings.workFolder + QStringLiteral("/checked.dat");
    std::unique_ptr<Harness> h = harness(settings);
    h->program->questionnaire().setResponses(responses(kResponseSize));
    brevant::Questionnaire &questionnaire = h->program->questionnaire();
    brevant::FileGuard &guard = h->program->guard();
    // The texts taken out of the boxes and encoded into the file, as Save
    // does; with the check or without it.
    const auto write = [&](brevant::FileIdentity *identity) {
        const QStringList texts = questionnaire.rawResponses();
        QString error;
        if (!brevant::writeFileSafely(path, [&texts](QIODevice &out) { return brevant::TextToFile(out, texts); },
                                      &error, identity))
            fail(QStringLiteral("cannot write %1: %2").arg(path, error));
    };
    const auto checked = [&] {
        return timeMs([&] {
            if (guard.check(path).change != brevant::DiskChange::Unchanged)
                fail(QStringLiteral("the work file changed under the bench"));
            brevant::FileIdentity written;
            write(&written);
            guard.seen(path, written);
            guard.hold(brevant::FileGuard::Slot::Current, path);
        });
    };
    const auto unchecked = [&] { return timeMs([&] { write(nullptr); }); };
    // The held work file, as after a first Save.
    brevant::FileIdentity first;
    write(&first);
    guard.seen(path, first);
    checked();
    int edits = 0;
    const Medians m = alternate(settings.runs, [&] {
        // Every response edited, as after a Load.
        ++edits;
        for (int item = 1; item <= kItemCount; ++item)
            appendWord(h->program->responseBox(item), edits);
        return checked();
    }, unchecked);
    if (brevant::Fingerprint::of(fileBytes(path)) != guard.lastSeen(path).fingerprint)
        fail(QStringLiteral("the fingerprint taken while writing is not that of the file"));
    guard.releaseAll();
    Row row;
    row.figure = QStringLiteral("Save of 27 x 1 MiB with the check");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = settings.runs;
    row.goal = 1.05;
    row.goalText = QStringLiteral("<= 1.05");
    row.note = QStringLiteral("baseline: the same Save without the check (no look before, no fingerprint, "
                              "no identity kept, no lock)");
    return row;
}

QList<Row> loadRows(const Settings &settings)
{
    brevant::Speller speller({QStringLiteral("en_US")});
    QList<Row> rows{loadRow(settings, nullptr, false)};
    if (speller.available())
        rows << loadRow(settings, &speller, false);
    rows << loadRow(settings, nullptr, true);
    return rows;
}

Row loadRow(const Settings &settings, brevant::Speller *speller, bool utf8)
{
    // The work file as Save writes it.
    const QStringList texts = utf8 ? beyondTheCodePage(responses(kResponseSize)) : responses(kResponseSize);
    const QString path = settings.workFolder + QStringLiteral("/load.dat");
    {
        std::unique_ptr<Harness> h = harness(settings);
        h->program->questionnaire().setResponses(texts);
        h->dialogs.expectSave(kWorkFilter, FileDialogOutcome::chosen(path))
            .expectMessage(QStringLiteral("Successfully Saved.."), QStringLiteral("Saved"));
        h->program->page(1)->Save_Click();
        checkScript(*h, QStringLiteral("Save"));
    }
    const Medians m = alternate(
        settings.runs,
        [&] {
            // A fresh program each run, its pages made beforehand, so that
            // only Load is timed and every box starts empty as on the plain side.
            std::unique_ptr<Harness> h = harness(settings, speller);
            for (int i = 1; i <= kItemCount; ++i)
                h->program->responseBox(i);
            brevant::Std0 *start = h->program->std0();
            h->dialogs.expectOpen(kWorkFilter, FileDialogOutcome::chosen(path))
                .expectMessage(QStringLiteral("Successfully Loaded.."), QStringLiteral("Loaded"));
            const double ms = timeMs([&] { start->load_Click(); });
            checkScript(*h, QStringLiteral("Load"));
            if (h->program->responseBox(kItemCount)->toPlainText() != texts.last())
                fail(QStringLiteral("Load set another text"));
            return ms;
        },
        [&] { return loadIntoPlainBoxes(path, texts, utf8); });
    if (fileBytes(path).startsWith("\xEF\xBB\xBF") != utf8)
        fail(QStringLiteral("the work file is not in the encoding the row is about"));
    Row row;
    row.figure = speller ? QStringLiteral("Load (27 x 1 MiB), spell checking on")
                 : utf8  ? QStringLiteral("Load (27 x 1 MiB) from UTF-8")
                         : QStringLiteral("Load (27 x 1 MiB)");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = settings.runs;
    row.goal = 1.3;
    row.goalText = QStringLiteral("<= 1.3");
    return row;
}

QList<Row> htmlRows(const Settings &settings)
{
    const QStringList texts = responses(kResponseSize);
    const QString path = settings.workFolder + QStringLiteral("/report.html");
    const QString kept = settings.workFolder + QStringLiteral("/report-kept.html");
    const QString basePath = settings.workFolder + QStringLiteral("/plain.html");
    std::unique_ptr<Harness> h = harness(settings);
    h->program->questionnaire().setResponses(texts);
    brevant::TemplateSelect *window = h->program->templateSelect();
    window->findChild<QRadioButton *>(QStringLiteral("OM"))->setChecked(true);

    // Save runs until the report is written and "Successfully Saved..."
    // comes up; the time stops there. The page of 27 MiB that the browser
    // window would then show is moved aside, so that the window shows its
    // short "could not be shown" page instead of laying out the whole
    // report (that is timed on its own, with a smaller report).
    const auto save = [&] {
        QFile::remove(kept);
        int dialogs = 0;
        QElapsedTimer timer;
        double ms = 0;
        h->dialogs.onDialog = [&] {
            if (++dialogs == 2) {
                ms = double(timer.nsecsElapsed()) / 1e6;
                QFile::rename(path, kept);
            }
        };
        h->dialogs.expectSave(kHtmlFilter, FileDialogOutcome::chosen(path))
            .expectMessage(QStringLiteral("Successfully Saved..."), QStringLiteral("Saving"));
        timer.start();
        window->Save_Click();
        h->dialogs.onDialog = nullptr;
        checkScript(*h, QStringLiteral("HTML report Save"));
        if (!QFileInfo::exists(kept))
            fail(QStringLiteral("the HTML report Save wrote no file"));
        return ms;
    };
    // Both write a new file: Save's file was moved aside.
    const auto plain = [&] {
        QFile::remove(basePath);
        return takeTextsAndSave(*h, basePath, fileBytes(kept));
    };
    save();   // untimed: writes the report whose bytes the floor writes
    const QList<Row> rows = editedRows(settings, *h, QStringLiteral("HTML report"), 1.5, save, plain);
    if (!fileBytes(kept).endsWith(brevant::htmlText(h->program->questionnaire().responses().last())
                                   + "\r\n</i><br><br></td></tr></table>\r\n</td> </tr>\r\n</table> </body> </html>\r\n"))
        fail(QStringLiteral("the HTML report does not end with the last response as it is now"));
    return rows;
}

Row htmlShownRow(const Settings &settings)
{
    const QStringList texts = responses(kShownResponseSize);
    const QString path = settings.workFolder + QStringLiteral("/shown.html");
    std::unique_ptr<Harness> h = harness(settings);
    h->program->questionnaire().setResponses(texts);
    brevant::TemplateSelect *window = h->program->templateSelect();
    window->findChild<QRadioButton *>(QStringLiteral("OM"))->setChecked(true);
    // A view of the browser window's size, shown as the window is.
    QTextBrowser view;
    view.resize(860, 700);
    view.show();

    const Medians m = alternate(
        settings.runs,
        [&] {
            // The time from "Successfully Saved..." to the end of Save: the
            // browser window showing the page.
            QElapsedTimer timer;
            int dialogs = 0;
            h->dialogs.onDialog = [&] {
                if (++dialogs == 2)
                    timer.start();
            };
            h->dialogs.expectSave(kHtmlFilter, FileDialogOutcome::chosen(path))
                .expectMessage(QStringLiteral("Successfully Saved..."), QStringLiteral("Saving"));
            window->Save_Click();
            QCoreApplication::processEvents();
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            h->dialogs.onDialog = nullptr;
            checkScript(*h, QStringLiteral("HTML report Save"));
            return ms;
        },
        [&] {
            // As the browser window does it.
            const QUrl url = QUrl::fromLocalFile(path);
            return timeMs([&] {
                if (view.source() == url)
                    view.reload();
                else
                    view.setSource(url);
                QCoreApplication::processEvents();
            });
        });
    Row row;
    row.figure = QStringLiteral("HTML report shown (27 x 10 KiB)");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = settings.runs;
    row.recordOnly = true;
    row.goalText = QStringLiteral("record");
    row.note = QStringLiteral("baseline: a bare QTextBrowser of the window's size showing the same page");
    return row;
}

} // namespace bench
