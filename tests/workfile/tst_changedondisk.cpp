// Nothing overwritten unseen: a work file another program changed between
// Load and Save, the quiet note a change raises on the pages, a second
// copy of the program that has the file open (a real second process), a
// stale lock, and the restored work that a Load would replace.
#include "files.h"
#include "io/lockfile.h"
#include "recoverytest.h"
#include "ui/widgets.h"

#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kSaved = u"Successfully Saved.."_s;
const QString kLoaded = u"Successfully Loaded.."_s;
const QString kChanged = u"Work File Changed"_s;
const QString kSaveCopy = u"Save a Copy..."_s;
const QString kReplace = u"Replace It"_s;
const QStringList kChangedChoices = {kSaveCopy, kReplace, u"Cancel"_s};

void expectSavedTo(Harness &h, const QString &path)
{
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kSaved, u"Saved"_s);
}

void expectLoadedFrom(Harness &h, const QString &path)
{
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kLoaded, u"Loaded"_s);
}

void save(Harness &h, int page)
{
    h.click(h.program->page(page), u"Save"_s);
}

void load(Harness &h)
{
    h.click(h.program->std0(), u"load"_s);
}

QStringList dept(const QString &first)
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i)
        texts << u"Dept response %1"_s.arg(i);
    texts[0] = first;
    return texts;
}

// The start window, a work file loaded through it, then page 1.
void loadAndContinue(Harness &h, const QString &path)
{
    toStartWindow(h);
    expectLoadedFrom(h, path);
    load(h);
    h.click(h.program->std0(), u"Command1"_s);
}

void typeAtEnd(QPlainTextEdit *box, const QString &text)
{
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, text);
}

// The backup in the data folder that holds bytes.
QString backupHolding(Harness &h, const QByteArray &bytes)
{
    const QString folder = h.data.path() + u"/backups/"_s;
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        if (fileBytes(folder + name) == bytes)
            return folder + name;
    }
    return QString();
}

} // namespace

class TestChangedOnDisk : public QObject {
    Q_OBJECT
private slots:
    void colleaguesChangeIsNeverSavedOver();
    void noteOnThePagesOffersTheSameChoices();
    void secondProgramIsToldWhoHasTheFile();
    void lockOfAnotherHostGoesStaleAfterADay();
    void loadAfterRestoreAsksFirst();
    void everyRunsCopyIsOffered();
};

void TestChangedOnDisk::colleaguesChangeIsNeverSavedOver()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dept.dat"_s);
    QVERIFY(writeFileBytes(path, TextToFile(dept(u"Our department."_s))));
    Harness h;
    loadAndContinue(h, path);
    // The first Save, onto the loaded file: it is as it was loaded.
    typeAtEnd(h.response(2), u" Typed here."_s);
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);

    // A colleague adds a sentence to requirement 1 on the shared drive.
    const QByteArray theirs = TextToFile(dept(u"Our department. A colleague's sentence."_s));
    QVERIFY(writeFileBytes(path, theirs));
    typeAtEnd(h.response(2), u" More."_s);

    // Save writes nothing yet and says so; Cancel leaves their file.
    h.dialogs.expectChoice(kChanged, kChangedChoices, u"Cancel"_s);
    save(h, 1);
    VERIFY_DIALOGS(h);
    const QString question = h.dialogs.shownTexts.last();
    QVERIFY2(question.contains(QDir::toNativeSeparators(path)), qPrintable(question));
    QVERIFY2(question.contains(u"changed by another program on "_s), qPrintable(question));
    QVERIFY2(question.contains(QDir::toNativeSeparators(h.data.path() + u"/backups"_s)), qPrintable(question));
    QCOMPARE(fileBytes(path), theirs);

    // Save a Copy... writes ours elsewhere and leaves theirs.
    const QString copy = dir.filePath(u"ours.dat"_s);
    h.dialogs.expectChoice(kChanged, kChangedChoices, kSaveCopy);
    expectSavedTo(h, copy);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), theirs);
    QCOMPARE(fileBytes(copy), TextToFile(h.program->questionnaire().responses()));

    // Replace It: theirs is kept as a backup that the message names.
    h.dialogs.expectChoice(kChanged, kChangedChoices, kReplace).expectMessage(kSaved, u"Saved"_s);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));
    const QString backup = backupHolding(h, theirs);
    QVERIFY(!backup.isEmpty());
    QVERIFY2(h.dialogs.shownDetails.last().contains(QDir::toNativeSeparators(backup)),
             qPrintable(h.dialogs.shownDetails.last()));

    // What Save wrote itself is no change; nor is a touch of the same bytes.
    QFile touched(path);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    touched.close();
    h.dialogs.expectMessage(kSaved, u"Saved"_s);
    save(h, 7);
    VERIFY_DIALOGS(h);
}

void TestChangedOnDisk::noteOnThePagesOffersTheSameChoices()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dept.dat"_s);
    Harness h;
    h.continueToPage1();
    h.fillAll();
    expectSavedTo(h, path);
    save(h, 1);
    VERIFY_DIALOGS(h);
    QuestionPage *page = h.program->page(1);
    NoteBar *note = page->note();
    QVERIFY(!note->isVisible());

    const QByteArray theirs = TextToFile(dept(u"Written by another program"_s));
    QVERIFY(writeFileBytes(path, theirs));
    // Told without a box in the way, on the page and on pages shown later.
    QTRY_VERIFY2(note->isVisible(), qPrintable(u"page %1, note %2"_s.arg(page->isVisible()).arg(note->text())));
    QVERIFY2(note->text().contains(u"Another program changed the work file dept.dat"_s), qPrintable(note->text()));
    QVERIFY(h.program->page(4)->note()->isHidden() == false || !h.program->page(4)->isVisible());
    QCOMPARE(h.program->page(4)->note()->text(), note->text());
    page->grab().save(u"/tmp/x29/note.png"_s);
    QCOMPARE(note->findChild<QPushButton *>(u"noteChoice0"_s)->text(), kSaveCopy);
    auto *replace = note->findChild<QPushButton *>(u"noteChoice1"_s);
    QCOMPARE(replace->text(), kReplace);
    // The note never takes the keyboard from the box typed in.
    QCOMPARE(replace->focusPolicy(), Qt::ClickFocus);
    VERIFY_DIALOGS(h);

    // Its Replace It saves, theirs kept; the note goes.
    h.dialogs.expectMessage(kSaved, u"Saved"_s);
    QTest::mouseClick(replace, Qt::LeftButton);
    VERIFY_DIALOGS(h);
    QVERIFY(!backupHolding(h, theirs).isEmpty());
    QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));
    QVERIFY(!note->isVisible());

    // Removed: said as such, and Hide puts it away.
    QVERIFY(QFile::remove(path));
    QSignalSpy told(&h.program->guard(), &FileGuard::changedOnDisk);
    h.program->guard().lookNow();
    QCOMPARE(told.size(), 1);
    QVERIFY(note->isVisible());
    QVERIFY2(note->text().contains(u"removed or renamed"_s), qPrintable(note->text()));
    QCOMPARE(note->findChild<QPushButton *>(u"noteChoice0"_s)->text(), u"Write It Anew"_s);
    QTest::mouseClick(note->findChild<QPushButton *>(u"noteHide"_s), Qt::LeftButton);
    QVERIFY(!note->isVisible());
    h.program->guard().lookNow();
    QVERIFY(!note->isVisible());   // told once
}

void TestChangedOnDisk::secondProgramIsToldWhoHasTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dept.dat"_s);
    QVERIFY(writeFileBytes(path, TextToFile(dept(u"Shared"_s))));
    const auto startHolder = [&](QProcess &holder) {
        holder.start(QStringLiteral(BREVANT_HOLDHELPER), {path});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(20000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("loaded"));
    };
    QProcess holder;
    startHolder(holder);
    if (QTest::currentTestFailed())
        return;
    const std::optional<LockOwner> lock = decodeLock(fileBytes(lockFilePath(path)));
    QVERIFY(lock);
    QCOMPARE(lock->pid, holder.processId());

    {
        // This copy is told who has it open and since when; Cancel loads nothing.
        Harness h;
        toStartWindow(h);
        h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
            .expectChoice(u"Work File in Use"_s, {u"Open Anyway"_s, u"Cancel"_s}, u"Cancel"_s);
        load(h);
        VERIFY_DIALOGS(h);
        const QString told = h.dialogs.shownTexts.last();
        const LockOwner me = LockOwner::thisProcess(QString());
        QVERIFY2(told.contains(me.user) && told.contains(me.host), qPrintable(told));
        QVERIFY2(told.contains(QLocale::c().toString(lock->since, u"d MMMM yyyy 'at' HH:mm"_s)), qPrintable(told));
        QCOMPARE(h.program->questionnaire().response(1), QString());

        // Open Anyway loads it; the other's lock stays.
        h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
            .expectChoice(u"Work File in Use"_s, {u"Open Anyway"_s, u"Cancel"_s}, u"Open Anyway"_s)
            .expectMessage(kLoaded, u"Loaded"_s);
        load(h);
        VERIFY_DIALOGS(h);
        QCOMPARE(h.program->questionnaire().response(1), u"Shared"_s);
        QCOMPARE(decodeLock(fileBytes(lockFilePath(path)))->pid, holder.processId());
    }
    // The other program ends: its lock goes with it.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(20000));
    QCOMPARE(holder.exitCode(), 0);
    QVERIFY(!QFile::exists(lockFilePath(path)));

    // Killed, it leaves its lock behind, which the next Load takes over.
    QProcess killed;
    startHolder(killed);
    if (QTest::currentTestFailed())
        return;
    killed.kill();
    QVERIFY(killed.waitForFinished());
    QVERIFY(QFile::exists(lockFilePath(path)));
    Harness h;
    toStartWindow(h);
    expectLoadedFrom(h, path);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(decodeLock(fileBytes(lockFilePath(path)))->pid, QCoreApplication::applicationPid());
    // The close-all rule lets it go.
    h.program->std0()->close();
    QVERIFY(!QFile::exists(lockFilePath(path)));
}

void TestChangedOnDisk::lockOfAnotherHostGoesStaleAfterADay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dept.dat"_s);
    QVERIFY(writeFileBytes(path, TextToFile(dept(u"Shared"_s))));
    LockOwner colleague;
    colleague.fullName = u"Dana Okafor"_s;
    colleague.host = u"dept-pc7"_s;
    colleague.user = u"dokafor"_s;
    colleague.since = QDateTime::currentDateTime().addDays(-2);
    QVERIFY(writeFileBytes(lockFilePath(path), encodeLock(colleague)));
    Harness h;
    toStartWindow(h);
    expectLoadedFrom(h, path);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(decodeLock(fileBytes(lockFilePath(path)))->pid, QCoreApplication::applicationPid());

    // An hour old, it stands.
    h.program->guard().releaseAll();
    colleague.since = QDateTime::currentDateTime().addSecs(-3600);
    QVERIFY(writeFileBytes(lockFilePath(path), encodeLock(colleague)));
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
        .expectChoice(u"Work File in Use"_s, {u"Open Anyway"_s, u"Cancel"_s}, u"Cancel"_s);
    load(h);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains(u"Dana Okafor (dokafor) on the computer dept-pc7"_s));
}

void TestChangedOnDisk::loadAfterRestoreAsksFirst()
{
    QTemporaryDir data;
    const RecoveryCopy copy = sampleCopy();
    QVERIFY(QDir().mkpath(recoveryOf(data.path())));
    QVERIFY(writeFileBytes(recoveryOf(data.path()) + u"/20261130-140506-789-42.json"_s, encodeRecoveryCopy(copy)));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dept.dat"_s);
    QVERIFY(writeFileBytes(path, TextToFile(dept(u"From the file"_s))));

    Harness h({.dataFolder = data.path()});
    offeredAtStart(h, Answer::Yes);
    QCOMPARE(h.program->questionnaire().response(2), copy.responses.at(1));
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
        .expectChoice(u"Unsaved Responses"_s, {u"Load and Replace Them"_s, u"Cancel"_s}, u"Cancel"_s);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().response(2), copy.responses.at(1));
    // The copy of this run still holds them.
    h.program->keepEverythingTyped();
    QCOMPARE(onlyCopyIn(data.path())->responses.at(1), copy.responses.at(1));

    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
        .expectChoice(u"Unsaved Responses"_s, {u"Load and Replace Them"_s, u"Cancel"_s}, u"Load and Replace Them"_s)
        .expectMessage(kLoaded, u"Loaded"_s);
    load(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().response(1), u"From the file"_s);
}

void TestChangedOnDisk::everyRunsCopyIsOffered()
{
    QTemporaryDir data;
    RecoveryCopy newer = sampleCopy();
    RecoveryCopy older = sampleCopy();
    older.responses[0] = u"caf\u00e9 \u2265 \u03b1, no separator in it"_s;
    older.responses[1] = u"What the second copy of the program held"_s;
    const QString newerPath = recoveryOf(data.path()) + u"/20261130-140506-789-42.json"_s;
    const QString olderPath = recoveryOf(data.path()) + u"/20261130-140501-100-43.json"_s;
    QVERIFY(QDir().mkpath(recoveryOf(data.path())));
    QVERIFY(writeFileBytes(newerPath, encodeRecoveryCopy(newer)));
    QVERIFY(writeFileBytes(olderPath, encodeRecoveryCopy(older)));
    QFile f(olderPath);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    f.close();
    QTemporaryDir dir;
    const QString saved = dir.filePath(u"second.dat"_s);

    Harness h({.dataFolder = data.path()});
    h.dialogs.expectAnyMessage(recoveryOfferTitle(), Buttons::YesNo, Answer::Yes)
        .expectChoice(recoveryOfferTitle(), {u"Save as Work File..."_s, u"Keep Aside"_s}, u"Save as Work File..."_s)
        .expectSave(kFilter, FileDialogOutcome::chosen(saved), Overwrite::Ask)
        .expectMessage(kSaved, u"Saved"_s);
    toStartWindow(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->questionnaire().response(2), newer.responses.at(1));
    QVERIFY2(h.dialogs.shownTexts.at(1).contains(u"Another copy of unsaved responses"_s),
             qPrintable(h.dialogs.shownTexts.at(1)));
    const WorkFileContents second = parseWorkFile(fileBytes(saved));
    QCOMPARE(second.responses.mid(0, 2), older.responses.mid(0, 2));
    // Both kept aside as well.
    QCOMPARE(filesIn(recoveryOf(data.path()) + u"/set-aside"_s).size(), 2);
}

BREVANT_TEST_MAIN(TestChangedOnDisk)
#include "tst_changedondisk.moc"
