// Save and Save As through the pages' buttons: what they ask, what they
// write, and how they fail.
#include "core/workfileformat.h"
#include "files.h"
#include "workcommandstest.h"

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
    void everyCharacterSavedAndLoadedBack();
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

// Names and signs the code page lacks are saved without a question, as
// UTF-8, and come back exactly through the start window's Load; a file
// another editor saved in UTF-8, without the mark, loads as typed too.
void TestWorkCommands::everyCharacterSavedAndLoadedBack()
{
    Harness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    h.continueToPage1();
    h.fillAll();
    const QString names = QString::fromUtf8("Dr. \u0141ukasz \u017B\u00F3\u0142\u0107, \u5F20\u4F1F, \u2265 3 \u2192 \U0001D400");
    h.response(3)->setPlainText(names);
    expectSavedTo(h, path);
    save(h, 2);
    VERIFY_DIALOGS(h);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.startsWith("\xEF\xBB\xBFResponse 1\r\n%%%%"));
    QVERIFY(saved.contains("%%%%\r\n" + names.toUtf8() + "\r\n%%%%"));

    const QStringList typed = h.program->questionnaire().responses();
    h.program->questionnaire().setResponses(numbered(QStringLiteral("other ")));
    expectLoadedFrom(h, path);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().responses(), typed);
    QCOMPARE(h.response(3)->toPlainText(), names);

    QByteArray another;
    for (int i = 1; i <= kItemCount; ++i)
        another += QByteArray(i > 1 ? "%%%%\r\n" : "") + "caf\xC3\xA9 " + QByteArray::number(i) + "\r\n";
    QVERIFY(writeFileBytes(path, another));
    expectLoadedFrom(h, path);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().responses(), numbered(QString::fromUtf8("caf\u00E9 ")));
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
    h.dialogs.expectChoice(QStringLiteral("Work File Changed"),
                           {QStringLiteral("Save a Copy..."), QStringLiteral("Cancel")}, QStringLiteral("Cancel"));
    save(h, 6);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.shownTexts.count(kSaved), 1);   // the first Save only
    QVERIFY(stateOf(h).pFileOpened);
    QCOMPARE(stateOf(h).Name_File, path);

    QVERIFY(h.dialogs.shownTexts.last().contains(QStringLiteral("now a folder")));

    // Once the folder is gone, Save says the file is gone and writes it anew.
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("work.dat")));
    h.dialogs.expectChoice(QStringLiteral("Work File Changed"),
                           {QStringLiteral("Write It Anew"), QStringLiteral("Save a Copy..."), QStringLiteral("Cancel")},
                           QStringLiteral("Write It Anew"))
        .expectMessage(kSaved, QStringLiteral("Saved"));
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
