// Save and Save As through the pages' buttons: what they ask, what they
// write, and how they fail.
#include "files.h"
#include "workcommandstest.h"
#include "workfile/workfileformat.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

class TestWorkCommands : public QObject {
    Q_OBJECT
private slots:
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
    QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));
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
    QVERIFY(!h.program->existingPage(2));
    h.response(1)->setPlainText(QStringLiteral("first"));
    h.response(2)->setPlainText(QStringLiteral("second\nline"));

    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile({QStringLiteral("first"), QStringLiteral("second\nline")}));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std1")});
    // The responses are read where they are kept: no page is made for it.
    for (int n = 2; n <= kPageCount; ++n)
        QVERIFY(!h.program->existingPage(n));
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
    QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));
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

BREVANT_TEST_MAIN(TestWorkCommands)
#include "tst_workcommands.moc"
