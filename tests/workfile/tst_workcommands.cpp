#include "app/registerupdate.h"
#include "app/std0.h"
#include "files.h"
#include "harness.h"
#include "questionnaire/catalogue.h"
#include "questionnaire/questionpage.h"
#include "workfile/workfileformat.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace brevant;
using namespace brevant::test;

namespace {

const QString kFilter = QStringLiteral("Dat Files (*.dat)|*.dat");
const QString kSaved = QStringLiteral("Successfully Saved..");
const QString kLoaded = QStringLiteral("Successfully Loaded..");

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

QStringList numbered(const QString &prefix)
{
    QStringList r;
    for (int i = 1; i <= kItemCount; ++i)
        r << prefix + QString::number(i);
    return r;
}

WorkFileState &stateOf(Harness &h)
{
    return h.program->std0()->state;
}

// Startup window -> start window, ready to load.
void toStartWindow(Harness &h)
{
    h.program->start();
    h.click(h.program->registerUpdate(), QStringLiteral("continue"));
}

void showPage(Harness &h, int number)
{
    for (int n = 1; n <= kPageCount; ++n) {
        if (n != number && h.program->existing(QuestionnaireCatalogue::instance().page(n).window))
            h.program->hideWindow(h.program->page(n));
    }
    h.program->showWindow(h.program->page(number));
}

// The save dialog chooses path, and the file is saved.
void expectSavedTo(Harness &h, const QString &path)
{
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kSaved, QStringLiteral("Saved"));
}

// The open dialog chooses path, and the file is loaded.
void expectLoadedFrom(Harness &h, const QString &path)
{
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kLoaded, QStringLiteral("Loaded"));
}

// The text of every answer box, an empty string for items without one.
QStringList answers(Harness &h)
{
    QStringList r;
    for (int i = 1; i <= kItemCount; ++i)
        r << (h.answer(i) ? h.answer(i)->currentText() : QString());
    return r;
}

void save(Harness &h, int page)
{
    h.click(h.program->page(page), QStringLiteral("Save"));
}

void saveAs(Harness &h, int page)
{
    h.click(h.program->page(page), QStringLiteral("SaveAs"));
}

void load(Harness &h)
{
    h.click(h.program->std0(), QStringLiteral("load"));
}

} // namespace

class TestWorkCommands : public QObject {
    Q_OBJECT
private slots:
    // Save and Save As
    void firstSaveAsksLaterSavesRewrite();
    void cancelledSaveLeavesNoCurrentFile();
    void failedDialogShowsSharedMessage();
    void saveAsBeforeAndAfterSave();
    void saveFromFirstPageWritesPagesNeverShown();
    void responseHoldingSeparatorIsNotSaved();
    void unstorableCharactersAskFirst();
    void saveFailures_data();
    void saveFailures();
    void heldFileThatCannotBeRewritten();
    void readOnlyFolder();

    // Load saved work
    void loadsEmptyResponsesAndKeepsAnswers();
    void secondLoadReplacesFirstAndContinueShowsIt();
    void cancelledOrFailedOpenChangesNothing();
    void loadFailures_data();
    void loadFailures();
    void unreadableFile();

    // Both
    void saveLoadSaveGivesSameFile();
    void everySaveWritesTheBoxesAsTheyAreNow();
    void shiftEnterIsALineBreakEverywhere();
};

void TestWorkCommands::firstSaveAsksLaterSavesRewrite()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll(QStringLiteral("A much longer first response for item "));
    showPage(h, 3);

    expectSavedTo(h, path);
    save(h, 3);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(h.program->responses()));
    QVERIFY(stateOf(h).pFileOpened);
    QVERIFY(stateOf(h).pFileClosed);   // set by Continue, left alone
    QCOMPARE(stateOf(h).Name_File, path);
    QVERIFY(stateOf(h).FileName.isEmpty());

    // Later, from another page, with shorter texts: no dialog, same file,
    // nothing of the longer content left.
    h.fillAll(QStringLiteral("r"));
    showPage(h, 7);
    h.dialogs.expectMessage(kSaved, QStringLiteral("Saved"));
    save(h, 7);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(numbered(QStringLiteral("r"))));
    QCOMPARE(stateOf(h).Name_File, path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("work.dat")});
}

void TestWorkCommands::cancelledSaveLeavesNoCurrentFile()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll();
    h.dialogs.expectSave(kFilter, FileDialogOutcome::cancelled());
    save(h, 1);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.isEmpty());
    QVERIFY(!stateOf(h).pFileOpened);
    QVERIFY(stateOf(h).Name_File.isEmpty());

    // So the next Save asks again.
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QVERIFY(QFile::exists(path));
}

void TestWorkCommands::failedDialogShowsSharedMessage()
{
    Harness h;
    h.continueToPage1();
    const QString text = QStringLiteral("Error 28 selecting file.\r\nOut of stack space");
    h.dialogs.expectSave(kFilter, FileDialogOutcome::failed(28, QStringLiteral("Out of stack space")))
        .expectMessage(text, QString())
        .expectSave(kFilter, FileDialogOutcome::failed(28, QStringLiteral("Out of stack space")))
        .expectMessage(text, QString());
    save(h, 1);
    saveAs(h, 1);
    VERIFY_DIALOGS(h);
    const WorkFileState &s = stateOf(h);
    QVERIFY(!s.pFileOpened);
    QVERIFY(s.Name_File.isEmpty());
    QVERIFY(s.FileName.isEmpty());
}

void TestWorkCommands::saveAsBeforeAndAfterSave()
{
    Harness h;
    QTemporaryDir dir;
    const QString copy1 = dir.filePath(QStringLiteral("copy1.dat"));
    const QString current = dir.filePath(QStringLiteral("current.dat"));
    const QString copy2 = dir.filePath(QStringLiteral("copy2.dat"));
    h.continueToPage1();
    h.fillAll(QStringLiteral("one "));

    // Save As before any Save: a copy, and no current work file.
    expectSavedTo(h, copy1);
    saveAs(h, 2);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(copy1), TextToFile(numbered(QStringLiteral("one "))));
    QCOMPARE(stateOf(h).FileName, copy1);
    QVERIFY(!stateOf(h).pFileOpened);
    QVERIFY(stateOf(h).Name_File.isEmpty());

    // The next Save still asks.
    expectSavedTo(h, current);
    save(h, 2);
    VERIFY_DIALOGS(h);
    QCOMPARE(stateOf(h).Name_File, current);

    // Save As after Save: a second complete file; Save goes on writing the first.
    h.fillAll(QStringLiteral("two "));
    expectSavedTo(h, copy2);
    saveAs(h, 5);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(copy2), TextToFile(numbered(QStringLiteral("two "))));
    QCOMPARE(fileBytes(current), TextToFile(numbered(QStringLiteral("one "))));
    QCOMPARE(stateOf(h).FileName, copy2);
    QCOMPARE(stateOf(h).Name_File, current);

    h.fillAll(QStringLiteral("three "));
    h.dialogs.expectMessage(kSaved, QStringLiteral("Saved"));
    save(h, 9);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(current), TextToFile(numbered(QStringLiteral("three "))));
    QCOMPARE(fileBytes(copy2), TextToFile(numbered(QStringLiteral("two "))));
    QCOMPARE(fileBytes(copy1), TextToFile(numbered(QStringLiteral("one "))));
}

void TestWorkCommands::saveFromFirstPageWritesPagesNeverShown()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    QVERIFY(!h.program->existing(QStringLiteral("Std2")));
    h.response(1)->setPlainText(QStringLiteral("first"));
    h.response(2)->setPlainText(QStringLiteral("second\nline"));

    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile({QStringLiteral("first"), QStringLiteral("second\nline")}));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std1")});
    for (int n = 2; n <= kPageCount; ++n)
        QVERIFY(h.program->existing(QuestionnaireCatalogue::instance().page(n).window));
    QCOMPARE(h.dialogs.parents.first(), static_cast<QWidget *>(h.program->page(1)));
}

void TestWorkCommands::responseHoldingSeparatorIsNotSaved()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll();
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    const QByteArray before = fileBytes(path);

    h.response(4)->setPlainText(QStringLiteral("half %%%% half"));
    h.response(27)->setPlainText(QStringLiteral("%%%%"));
    h.dialogs.expectAnyMessage(QStringLiteral("Not Saved")).expectAnyMessage(QStringLiteral("Not Saved"));
    save(h, 4);     // the held file
    saveAs(h, 4);   // no dialog is shown
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QStringLiteral("\"%%%%\"")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Page 2, 5-1:3 Faculty Expertise")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Page 10, 5-2:3")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Page 1,")), qPrintable(text));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(stateOf(h).Name_File, path);
    QVERIFY(stateOf(h).FileName.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestWorkCommands::unstorableCharactersAskFirst()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll();
    h.response(3)->setPlainText(QString::fromUtf8("x \u2265 3, \u03B1 and \U0001F600"));

    // No: nothing is asked or written.
    h.dialogs.expectAnyMessage(QStringLiteral("Save"), Buttons::YesNo, Answer::No);
    saveAs(h, 2);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QStringLiteral("Page 2, 5-1:2 Minimum Number of Faculty per Major/Minor")),
             qPrintable(text));
    QVERIFY2(text.contains(QString::fromUtf8("\u2265 (U+2265), \u03B1 (U+03B1), \U0001F600 (U+1F600)")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("\"?\"")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(stateOf(h).FileName.isEmpty());

    // Yes: saved with '?' in their place.
    h.dialogs.expectAnyMessage(QStringLiteral("Save"), Buttons::YesNo, Answer::Yes)
        .expectSave(kFilter, FileDialogOutcome::chosen(path))
        .expectMessage(kSaved, QStringLiteral("Saved"));
    save(h, 2);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(path).contains("%%%%\r\nx ? 3, ? and ?\r\n%%%%"));
    QCOMPARE(h.response(3)->toPlainText(), QString::fromUtf8("x \u2265 3, \u03B1 and \U0001F600"));
}

void TestWorkCommands::saveFailures_data()
{
    QTest::addColumn<QString>("relative");   // under a temporary folder; absolute if it starts with '/'
    QTest::addColumn<QString>("reason");     // part of the system's reason
    QTest::newRow("folder as the path") << QStringLiteral("folder") << QStringLiteral("folder");
    QTest::newRow("under a regular file") << QStringLiteral("plain.txt/work.dat") << QString();
    QTest::newRow("missing folder") << QStringLiteral("missing/work.dat") << QString();
    QTest::newRow("full disk") << QStringLiteral("/dev/full") << QStringLiteral("No space left on device");
}

void TestWorkCommands::saveFailures()
{
    QFETCH(QString, relative);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("plain.txt")), "plain"));
    const QString path = relative.startsWith(QLatin1Char('/')) ? relative : dir.filePath(relative);

    Harness h;
    h.continueToPage1();
    h.fillAll();
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QStringLiteral("Not Saved"))
        .expectSave(kFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QStringLiteral("Not Saved"));
    save(h, 1);
    saveAs(h, 1);
    VERIFY_DIALOGS(h);
    for (const QString &text : h.dialogs.shownTexts) {
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() >= 4 && !lines.at(3).isEmpty(), qPrintable(text));   // the reason
    }
    const WorkFileState &s = stateOf(h);
    QVERIFY(!s.pFileOpened);
    QVERIFY(s.Name_File.isEmpty());
    QCOMPARE(s.FileName, path);   // the path chosen last in Save As
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("plain"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QVERIFY(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);   // no temporary file left
}

void TestWorkCommands::heldFileThatCannotBeRewritten()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll();
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);

    // The current work file has become a folder meanwhile.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("work.dat")));
    h.dialogs.expectAnyMessage(QStringLiteral("Not Saved"));
    save(h, 6);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.shownTexts.count(kSaved), 1);   // the first Save only
    QVERIFY(stateOf(h).pFileOpened);
    QCOMPARE(stateOf(h).Name_File, path);

    // Once it can be written again, Save goes on without asking.
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("work.dat")));
    h.dialogs.expectMessage(kSaved, QStringLiteral("Saved"));
    save(h, 6);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(h.program->responses()));
}

void TestWorkCommands::readOnlyFolder()
{
    if (runningAsRoot())
        QSKIP("running as root: a read-only folder does not stop root from writing");
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    QVERIFY(writeFileBytes(path, "earlier work"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    h.continueToPage1();
    h.fillAll();
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QStringLiteral("Not Saved"));
    save(h, 1);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains(QDir::toNativeSeparators(path)));
    QCOMPARE(fileBytes(path), QByteArray("earlier work"));
    QVERIFY(!stateOf(h).pFileOpened);
}

void TestWorkCommands::loadsEmptyResponsesAndKeepsAnswers()
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
    QCOMPARE(h.program->responses(), QStringList(kItemCount, QString()));
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

void TestWorkCommands::secondLoadReplacesFirstAndContinueShowsIt()
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
    QVERIFY(!h.program->existing(QStringLiteral("Std1")));

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
    QCOMPARE(h.program->responses(), texts);

    // The loaded file is not the current work file: Save asks.
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    expectSavedTo(h, other);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(other), fileBytes(second));
}

void TestWorkCommands::cancelledOrFailedOpenChangesNothing()
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
    QCOMPARE(h.program->responses(), numbered(QStringLiteral("kept ")));
    QVERIFY(stateOf(h).FileName.isEmpty());
    QCOMPARE(h.dialogs.busyOn, 0);
}

void TestWorkCommands::loadFailures_data()
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

void TestWorkCommands::loadFailures()
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
    QCOMPARE(h.program->responses(), numbered(QStringLiteral("kept ")));
    QCOMPARE(stateOf(h).FileName, path);
    QCOMPARE(h.dialogs.busyOn, busy ? 1 : 0);
    QCOMPARE(h.dialogs.busyOff, h.dialogs.busyOn);
}

void TestWorkCommands::unreadableFile()
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
    QCOMPARE(h.program->responses(), numbered(QStringLiteral("kept ")));
    QCOMPARE(h.dialogs.busyOn, 0);
}

void TestWorkCommands::saveLoadSaveGivesSameFile()
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
    h.program->setResponses(texts);
    QCOMPARE(h.program->responses(), texts);
    expectSavedTo(h, first);
    saveAs(h, 1);
    VERIFY_DIALOGS(h);

    h.fillAll(QStringLiteral("overwritten "));
    expectLoadedFrom(h, first);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->responses(), texts);

    expectSavedTo(h, second);
    saveAs(h, 10);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(second), fileBytes(first));
    QCOMPARE(fileBytes(first), TextToFile(texts));
}

// Every Save writes the boxes as they are then, whichever way a box was
// changed.
void TestWorkCommands::everySaveWritesTheBoxesAsTheyAreNow()
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
        QCOMPARE(fileBytes(path), TextToFile(h.program->responses()));                \
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
    QCOMPARE(fileBytes(copy), TextToFile(h.program->responses()));
    QVERIFY(writeFileBytes(copy, TextToFile(numbered(QStringLiteral("loaded ")))));
    expectLoadedFrom(h, copy);
    load(h);
    VERIFY_DIALOGS(h);
    SAVED_AS_THE_BOXES_HOLD();
    QCOMPARE(fileBytes(path), TextToFile(numbered(QStringLiteral("loaded "))));

    // Windows closed and made anew have new, empty boxes, even while the
    // old ones are not deleted yet.
    h.program->closeAll();
    h.program->std0()->state.pFileOpened = true;
    h.program->std0()->state.Name_File = path;
    SAVED_AS_THE_BOXES_HOLD();
    QCOMPARE(fileBytes(path), TextToFile(QStringList()));
#undef SAVED_AS_THE_BOXES_HOLD
}

// Shift+Enter puts a line separator (U+2028) into the box, not a paragraph
// end: it must still be a line break in every file, never a "?".
void TestWorkCommands::shiftEnterIsALineBreakEverywhere()
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
    QCOMPARE(h.program->responses().first(), QStringLiteral("one\ntwo\nthree"));
}

QTEST_MAIN(TestWorkCommands)
#include "tst_workcommands.moc"
