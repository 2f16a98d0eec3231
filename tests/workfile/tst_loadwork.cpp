// Load through the start window's button, and work that goes through
// Save and Load in turn.
#include "core/workfileformat.h"
#include "document/reportwriters.h"
#include "files.h"
#include "report/templateselect.h"
#include "workcommandstest.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

class TestLoadWork : public QObject {
    Q_OBJECT
private slots:
    void loadsEmptyResponsesAndKeepsAnswers();
    void secondLoadReplacesFirstAndContinueShowsIt();
    void cancelledOrFailedOpenChangesNothing();
    void loadFailures_data();
    void loadFailures();
    void unreadableFile();
    void saveLoadSaveGivesSameFile();
    void everySaveWritesTheBoxesAsTheyAreNow();
    void shiftEnterIsALineBreakEverywhere();
    void clickWhileBusyRunsNothingInside();
};

void TestLoadWork::loadsEmptyResponsesAndKeepsAnswers()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.dat"));
    QVERIFY(writeFileBytes(path, TextToFile(QStringList())));
    QCOMPARE(QFileInfo(path).size(), 210);
    toStartWindow(h);
    h.fillAll(QStringLiteral("before "));
    h.answer(1)->setCurrentText(QStringLiteral("No"));
    h.answer(16)->setCurrentText(QStringLiteral("maybe"));
    const QStringList answersBefore = answers(h);

    expectLoadedFrom(h, path);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().responses(), QStringList(kItemCount, QString()));
    QCOMPARE(answers(h), answersBefore);
    QCOMPARE(h.dialogs.busyOn, 1);
    QCOMPARE(h.dialogs.busyOff, 1);
    QCOMPARE(h.dialogs.parents.last(), static_cast<QWidget *>(h.program->std0()));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std0")});
    const WorkFileState &s = stateOf(h);
    QCOMPARE(s.FileName, path);
    QVERIFY(!s.pFileOpened);
    QVERIFY(!s.pFileClosed);
    QVERIFY(s.Name_File.isEmpty());
}

void TestLoadWork::secondLoadReplacesFirstAndContinueShowsIt()
{
    Harness h;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.dat"));
    const QString second = dir.filePath(QStringLiteral("second.dat"));
    QVERIFY(writeFileBytes(first, TextToFile(numbered(QStringLiteral("first ")))));
    QStringList texts = numbered(QStringLiteral("second "));
    texts[0] = QStringLiteral("first line\nsecond line");
    texts[5] = QString();
    QVERIFY(writeFileBytes(second, TextToFile(texts)));
    toStartWindow(h);
    QVERIFY(!h.program->existingPage(1));

    expectLoadedFrom(h, first);
    expectLoadedFrom(h, second);
    load(h);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std0")});
    QCOMPARE(stateOf(h).FileName, second);
    h.click(h.program->std0(), QStringLiteral("Command1"));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std1")});
    QCOMPARE(h.response(1)->toPlainText(), QStringLiteral("first line\nsecond line"));
    QCOMPARE(h.program->questionnaire().responses(), texts);

    // The loaded file is not the current work file: Save asks.
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    expectSavedTo(h, other);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(other), fileBytes(second));
}

void TestLoadWork::cancelledOrFailedOpenChangesNothing()
{
    Harness h;
    toStartWindow(h);
    h.fillAll(QStringLiteral("kept "));
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::cancelled())
        .expectOpen(kFilter, FileDialogOutcome::failed(5, QStringLiteral("Invalid procedure call")))
        .expectMessage(QStringLiteral("Error 5 selecting file.\r\nInvalid procedure call"), QString());
    load(h);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().responses(), numbered(QStringLiteral("kept ")));
    QVERIFY(stateOf(h).FileName.isEmpty());
    QCOMPARE(h.dialogs.busyOn, 0);
}

void TestLoadWork::loadFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");   // written as a file unless the row says otherwise
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("busy");             // the file was opened

    const QByteArray full = TextToFile(numbered(QStringLiteral("item ")));
    QTest::newRow("missing file") << QStringLiteral("missing.dat") << QByteArray()
                                  << QStringLiteral("No such file") << false;
    QTest::newRow("folder") << QStringLiteral("folder") << QByteArray() << QStringLiteral("folder") << false;
    QTest::newRow("empty file") << QStringLiteral("empty.dat") << QByteArray()
                                << QStringLiteral("the file is empty") << true;
    QTest::newRow("truncated") << QStringLiteral("cut.dat") << full.left(full.indexOf("item 20"))
                               << QStringLiteral("not a complete work file. It holds 20 of the 27 responses")
                               << true;
    QTest::newRow("not a work file") << QStringLiteral("notes.txt") << QByteArray("Some notes\r\nmore\r\n")
                                     << QStringLiteral("It holds 1 of the 27 responses") << true;
    QTest::newRow("too large") << QStringLiteral("huge.dat") << QByteArray()
                               << QStringLiteral("at most 64 MiB") << false;
}

void TestLoadWork::loadFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, reason);
    QFETCH(bool, busy);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (name == QLatin1String("huge.dat")) {
        QFile f(path);   // sparse: takes no room on disk
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(kMaxWorkFileSize + 1));
    } else if (name != QLatin1String("missing.dat")) {
        QVERIFY(writeFileBytes(path, contents));
    }

    Harness h;
    toStartWindow(h);
    h.fillAll(QStringLiteral("kept "));
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QStringLiteral("Not Loaded"));
    load(h);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("No response was changed.")), qPrintable(text));
    QVERIFY(!h.dialogs.shownTexts.contains(kLoaded));
    QCOMPARE(h.program->questionnaire().responses(), numbered(QStringLiteral("kept ")));
    QCOMPARE(stateOf(h).FileName, path);
    QCOMPARE(h.dialogs.busyOn, busy ? 1 : 0);
    QCOMPARE(h.dialogs.busyOff, h.dialogs.busyOn);
}

void TestLoadWork::unreadableFile()
{
    if (runningAsRoot())
        QSKIP("running as root: file permissions do not stop root from reading");
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.dat"));
    QVERIFY(writeFileBytes(path, TextToFile(QStringList())));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    toStartWindow(h);
    h.fillAll(QStringLiteral("kept "));
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QStringLiteral("Not Loaded"));
    load(h);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains(QDir::toNativeSeparators(path)));
    QCOMPARE(h.program->questionnaire().responses(), numbered(QStringLiteral("kept ")));
    QCOMPARE(h.dialogs.busyOn, 0);
}

void TestLoadWork::saveLoadSaveGivesSameFile()
{
    Harness h;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.dat"));
    const QString second = dir.filePath(QStringLiteral("second.dat"));
    QStringList texts = numbered(QStringLiteral("plain "));
    texts[0] = QStringLiteral("line one\nline two\n\nline four");
    texts[1] = QStringLiteral("   ");
    texts[2] = QString();
    texts[3] = QStringLiteral("\n\n  indented, with blank lines around  \n\n");
    texts[4] = QString::fromUtf8("\u20AC \u201A \u0192 \u201E \u2026 \u2020 \u2021 \u02C6 \u2030 \u0160 "
                                 "\u2039 \u0152 \u017D \u2018 \u2019 \u201C \u201D \u2022 \u2013 "
                                 "\u2014 \u02DC \u2122 \u0161 \u203A \u0153 \u017E \u0178");
    texts[5] = QString::fromUtf8("no-break\u00A0space, caf\u00E9, \u00BD, \u00FF");
    texts[26] = QStringLiteral("last\n");

    toStartWindow(h);
    h.program->questionnaire().setResponses(texts);
    QCOMPARE(h.program->questionnaire().responses(), texts);
    expectSavedTo(h, first);
    saveAs(h, 1);
    VERIFY_DIALOGS(h);

    h.fillAll(QStringLiteral("overwritten "));
    expectLoadedFrom(h, first);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().responses(), texts);

    expectSavedTo(h, second);
    saveAs(h, 10);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(second), fileBytes(first));
    QCOMPARE(fileBytes(first), TextToFile(texts));
}

// Every Save writes the boxes as they are then, whichever way a box was
// changed.
void TestLoadWork::everySaveWritesTheBoxesAsTheyAreNow()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    const QString copy = dir.filePath(QStringLiteral("copy.dat"));
    h.continueToPage1();
    h.fillAll();
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);

    const auto saveAgain = [&] {
        h.dialogs.expectMessage(kSaved, QStringLiteral("Saved"));
        save(h, 2);
    };
#define SAVED_AS_THE_BOXES_HOLD()                                                      \
    do {                                                                               \
        saveAgain();                                                                   \
        VERIFY_DIALOGS(h);                                                             \
        QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));                \
    } while (false)

    showPage(h, 3);
    h.response(5)->setFocus();
    h.response(5)->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.response(5), QStringLiteral(" typed"));
    QTest::keyClick(h.response(5), Qt::Key_Return);
    SAVED_AS_THE_BOXES_HOLD();
    QVERIFY(fileBytes(path).contains("Response 5 typed\r\n\r\n%%%%"));
    h.response(5)->undo();
    SAVED_AS_THE_BOXES_HOLD();
    h.response(5)->redo();
    SAVED_AS_THE_BOXES_HOLD();
    h.response(27)->clear();
    SAVED_AS_THE_BOXES_HOLD();
    h.response(9)->setPlainText(QString::fromUtf8("caf\u00E9\r\nline\rthree"));
    SAVED_AS_THE_BOXES_HOLD();
    h.response(9)->selectAll();
    h.response(9)->cut();
    h.response(10)->paste();
    SAVED_AS_THE_BOXES_HOLD();

    // Save As and Load share what Save keeps.
    h.response(1)->setPlainText(QStringLiteral("for the copy"));
    expectSavedTo(h, copy);
    saveAs(h, 3);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(copy), TextToFile(h.program->questionnaire().responses()));
    QVERIFY(writeFileBytes(copy, TextToFile(numbered(QStringLiteral("loaded ")))));
    expectLoadedFrom(h, copy);
    load(h);
    VERIFY_DIALOGS(h);
    SAVED_AS_THE_BOXES_HOLD();
    QCOMPARE(fileBytes(path), TextToFile(numbered(QStringLiteral("loaded "))));

    // The responses outlive the windows: a page closed and made anew, even
    // while the old one is not deleted yet, shows them, and a Save from it
    // writes them, never the closed boxes.
    h.program->closeAll();
    h.program->std0()->state.pFileOpened = true;
    h.program->std0()->state.Name_File = path;
    SAVED_AS_THE_BOXES_HOLD();
    QCOMPARE(fileBytes(path), TextToFile(numbered(QStringLiteral("loaded "))));
    QCOMPARE(h.response(3)->toPlainText(), QStringLiteral("loaded 3"));
#undef SAVED_AS_THE_BOXES_HOLD
}

// Shift+Enter puts a line separator (U+2028) into the box, not a paragraph
// end: it must still be a line break in every file, never a "?".
void TestLoadWork::shiftEnterIsALineBreakEverywhere()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("one"));
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(box, QStringLiteral("two"));
    QTest::keyClick(box, Qt::Key_Enter, Qt::ShiftModifier);
    QTest::keyClicks(box, QStringLiteral("three"));
    QVERIFY(box->document()->toRawText().contains(QChar::LineSeparator));

    // No question about characters the work file cannot hold.
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(path).startsWith("one\r\ntwo\r\nthree\r\n%%%%\r\n"));
    // The printed report and the HTML report read the same texts.
    QCOMPARE(h.program->questionnaire().responses().first(), QStringLiteral("one\ntwo\nthree"));
}

// A second click on Load, or on the template window's Save, that comes
// while the command reads or writes (a double click, or an impatient one)
// is not dispatched inside it: the command runs once.
void TestLoadWork::clickWhileBusyRunsNothingInside()
{
    Harness h({.programFolder = builtProgramFolder()});
    QTemporaryDir dir;
    const QString work = dir.filePath(QStringLiteral("work.dat"));
    QVERIFY(writeFileBytes(work, TextToFile(numbered(QStringLiteral("loaded ")))));
    toStartWindow(h);
    TemplateSelect *templates = h.program->templateSelect();
    templates->findChild<QRadioButton *>(QStringLiteral("OM"))->setChecked(true);

    for (QWidget *button : {static_cast<QWidget *>(h.program->std0()->findChild<QPushButton *>(QStringLiteral("load"))),
                            static_cast<QWidget *>(templates->findChild<QPushButton *>(QStringLiteral("Save")))}) {
        // The second click is on its way as the file is chosen.
        h.dialogs.onDialog = [button] {
            const QPointF at = button->rect().center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(button, new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                                                                    Qt::LeftButton, Qt::NoModifier));
        };
        if (button->window() == templates) {
            h.dialogs.expectSave(reportSaveFilter(), FileDialogOutcome::chosen(dir.filePath(QStringLiteral("r.pdf"))))
                .expectMessage(QStringLiteral("Successfully Saved..."), QStringLiteral("Saving"));
        } else {
            expectLoadedFrom(h, work);
        }
        static_cast<QPushButton *>(button)->click();
        h.dialogs.onDialog = nullptr;
        VERIFY_DIALOGS(h);
        QCOMPARE(h.dialogs.busyOn, h.dialogs.busyOff);
        QCoreApplication::removePostedEvents(button);
    }
    QCOMPARE(h.program->questionnaire().responses(), numbered(QStringLiteral("loaded ")));
}

BREVANT_TEST_MAIN(TestLoadWork)
#include "tst_loadwork.moc"
