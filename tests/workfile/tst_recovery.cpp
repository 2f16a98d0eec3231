// Nothing typed is lost: the recovery copy follows the boxes, is offered at
// the next start after any ending without a save, and a file that a save
// replaces keeps its old content in the backups folder.
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "files.h"
#include "harness.h"
#include "testmain.h"
#include "questionnaire/catalogue.h"
#include "questionnaire/questionpage.h"
#include "workfile/recoveryfile.h"
#include "workfile/recoveryoffer.h"
#include "workfile/recoveryrecorder.h"
#include "workfile/workfileformat.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(brevant::RecoveryRecorder::Take)

namespace {

const QString kFilter = u"Dat Files (*.dat)|*.dat"_s;
const QString kWarning = u"Requirements are not met, Do you want to continue"_s;

QStringList filesIn(const QString &folder, const QString &pattern = u"*"_s)
{
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

QString recoveryOf(const QString &data)
{
    return data + u"/recovery"_s;
}

// The copies of a data folder's recovery folder (not those set aside).
QStringList copiesIn(const QString &data)
{
    return filesIn(recoveryOf(data), u"*.json"_s);
}

std::optional<RecoveryCopy> onlyCopyIn(const QString &data)
{
    const QStringList copies = copiesIn(data);
    if (copies.size() != 1)
        return std::nullopt;
    return decodeRecoveryCopy(fileBytes(recoveryOf(data) + u'/' + copies.first()), nullptr);
}

// Text that a work file could not hold, and every kind of line break.
QString everyKindOfText()
{
    return u"caf\u00e9 \u20ac \u2265 \U0001F600 \u03b1\nsecond line\u2028third after Shift+Enter\r\n"
           "tab\there, no-break\u00a0space, <b>markup</b> & \"quotes\" %%%% and %%"_s;
}

RecoveryCopy sampleCopy()
{
    RecoveryCopy copy;
    for (int i = 1; i <= kItemCount; ++i)
        copy.responses << u"response %1"_s.arg(i);
    copy.responses[0] = everyKindOfText();
    copy.responses[26] = QString();
    for (int i = 0; i < kAnswerCount; ++i)
        copy.answers << (i % 2 ? u"No"_s : u"yes"_s);
    copy.changed = QDateTime(QDate(2026, 11, 30), QTime(14, 5, 6, 789), Qt::UTC);
    copy.nameFile = u"/home/chair/self-study.dat"_s;
    copy.fileName = u"/home/chair/copy of it.dat"_s;
    return copy;
}

// Startup window -> start window, where an earlier run's work is offered.
void toStartWindow(Harness &h)
{
    h.program->start();
    h.click(h.program->registerUpdate(), u"continue"_s);
}

// The program started again on data: its start window offers the copy
// an earlier run left, answered with answer. Returns the question.
QString offeredAtStart(Harness &h, Answer answer)
{
    h.dialogs.expectAnyMessage(recoveryOfferTitle(), Buttons::YesNo, answer);
    toStartWindow(h);
    const QString question = h.dialogs.shownTexts.value(0);
    return question;
}

void typeInto(QPlainTextEdit *box, const QString &text)
{
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, text);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void copyKeepsEveryCharacter();
    void unusableCopies_data();
    void unusableCopies();
    void copyFollowsTypingUnasked();
    void everyKindOfChangeReachesTheCopy_data();
    void everyKindOfChangeReachesTheCopy();
    void workOnDiskLeavesNothingToOffer();
    void endingWithoutSaveOffersTheWork_data();
    void endingWithoutSaveOffersTheWork();
    void declinedCopyIsSetAsideNotLost();
    void copyOfARunningProgramIsNotOffered();
    void unwritableDataFolderIsToldOnce();
    void fullDiskKeepsThePreviousCopy();
    void replacedFileIsBackedUpOncePerRun();
};

void TestRecovery::copyKeepsEveryCharacter()
{
    const RecoveryCopy copy = sampleCopy();
    const QByteArray bytes = encodeRecoveryCopy(copy);
    QString why;
    const std::optional<RecoveryCopy> read = decodeRecoveryCopy(bytes, &why);
    QVERIFY2(read, qPrintable(why));
    QCOMPARE(read->responses, copy.responses);
    QCOMPARE(read->answers, copy.answers);
    QCOMPARE(read->changed, copy.changed);
    QCOMPARE(read->nameFile, copy.nameFile);
    QCOMPARE(read->fileName, copy.fileName);
    QCOMPARE(read->filledResponses(), 26);
    QVERIFY(QJsonDocument::fromJson(bytes).isObject());   // plain UTF-8 JSON
    QVERIFY(bytes.contains(u"caf\u00e9"_s.toUtf8()));
}

// What cannot be read whole is never offered in part: it is set aside,
// and the program goes on to the start window as usual.
void TestRecovery::unusableCopies_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = encodeRecoveryCopy(sampleCopy());
    QByteArray later = good;
    later.replace("\"version\": 1", "\"version\": 2");
    QByteArray shortOne = good;
    shortOne.replace("\"response 2\",", "");
    QByteArray foreign = good;
    foreign.replace("brevant recovery copy", "some other program");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in half") << good.left(good.size() / 2);
    QTest::newRow("not JSON") << QByteArray("\x00\x01 binary \xff", 12);
    QTest::newRow("JSON of another kind") << foreign;
    QTest::newRow("a later version") << later;
    QTest::newRow("26 responses") << shortOne;
    QTest::newRow("a list, not a copy") << QByteArray("[1, 2, 3]");
}

void TestRecovery::unusableCopies()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!decodeRecoveryCopy(bytes, nullptr));

    QTemporaryDir data;
    QVERIFY(QDir().mkpath(recoveryOf(data.path())));
    QVERIFY(writeFileBytes(recoveryOf(data.path()) + u"/20260101-000000-000-1.json"_s, bytes));
    Harness h({.dataFolder = data.path()});
    toStartWindow(h);
    VERIFY_DIALOGS(h);   // no question
    QCOMPARE(h.visibleWindows(), QStringList{u"Std0"_s});
    QCOMPARE(copiesIn(data.path()), QStringList());
    QCOMPARE(filesIn(recoveryOf(data.path()) + u"/set-aside"_s), QStringList{u"20260101-000000-000-1.json"_s});
    QCOMPARE(fileBytes(recoveryOf(data.path()) + u"/set-aside/20260101-000000-000-1.json"_s), bytes);
}

// Real keys, no save, no flush: the copy appears by itself soon after.
void TestRecovery::copyFollowsTypingUnasked()
{
    Harness h;
    h.continueToPage1();
    QVERIFY(copiesIn(h.data.path()).isEmpty());   // nothing before any change
    typeInto(h.response(1), u"Two FTE faculty"_s);
    QComboBox *no2a = h.answer(2);
    QTest::keyClick(no2a->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(no2a->lineEdit(), u"not yet"_s);
    QTRY_VERIFY_WITH_TIMEOUT(onlyCopyIn(h.data.path()) && onlyCopyIn(h.data.path())->responses.at(1 - 1)
                                                                 == u"Two FTE faculty"_s
                                 && onlyCopyIn(h.data.path())->answers.at(1) == u"not yet"_s,
                             5000);
    const RecoveryCopy copy = *onlyCopyIn(h.data.path());
    QCOMPARE(copy.answers.at(0), u"Yes"_s);
    QCOMPARE(copy.responses.mid(1), QStringList(kItemCount - 1));
    QVERIFY(qAbs(copy.changed.secsTo(QDateTime::currentDateTimeUtc())) < 60);
    // Its program runs: it holds the copy's lock.
    QCOMPARE(filesIn(recoveryOf(h.data.path()), u"*.lock"_s).size(), 1);
}

// While typing goes on the copy follows the edits alone; when it pauses it
// takes the boxes' whole texts. Both must give the boxes exactly.
void TestRecovery::everyKindOfChangeReachesTheCopy_data()
{
    QTest::addColumn<RecoveryRecorder::Take>("take");
    QTest::newRow("while typing goes on") << RecoveryRecorder::Take::Edits;
    QTest::newRow("when typing pauses") << RecoveryRecorder::Take::WholeTexts;
}

void TestRecovery::everyKindOfChangeReachesTheCopy()
{
    QFETCH(RecoveryRecorder::Take, take);
    Harness h;
    QTemporaryDir dir;
    h.continueToPage1();
    RecoveryRecorder &recorder = h.program->recovery();
    recorder.setDelays(1000000, 1000000);   // written only when the test says
    const auto copied = [&](int item) {
        recorder.writeNow(take);
        recorder.flush();
        const std::optional<RecoveryCopy> copy = onlyCopyIn(h.data.path());
        return copy ? copy->responses.at(item - 1) : u"<no copy>"_s;
    };
    QPlainTextEdit *box = h.response(1);
    typeInto(box, u"typed"_s);
    QCOMPARE(copied(1), u"typed"_s);
    QTest::keyClick(box, Qt::Key_Return);
    typeInto(box, u"more"_s);
    QCOMPARE(copied(1), u"typed\nmore"_s);
    box->undo();
    QCOMPARE(copied(1), box->toPlainText());
    box->selectAll();
    box->cut();
    QCOMPARE(copied(1), QString());
    h.response(2)->paste();
    QVERIFY(!h.response(2)->toPlainText().isEmpty());
    QCOMPARE(copied(2), h.response(2)->toPlainText());
    // A page never shown yet, filled as Load fills it, and filled again.
    h.response(20)->setPlainText(everyKindOfText());
    QCOMPARE(copied(20), QString(everyKindOfText()).replace(u"\r\n"_s, u"\n"_s));
    h.response(20)->setPlainText(u"shorter"_s);
    QCOMPARE(copied(20), u"shorter"_s);
    // Typing in the middle, and a long paste.
    QPlainTextEdit *middle = h.response(20);
    QTextCursor cursor = middle->textCursor();
    cursor.setPosition(3);
    middle->setTextCursor(cursor);
    QTest::keyClicks(middle, u"--"_s);
    QTest::keyClick(middle, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(middle, Qt::Key_Backspace);
    QTest::keyClick(middle, Qt::Key_Delete);
    QCOMPARE(copied(20), u"sho--ter"_s);
    const QString longText = QString(3000, u'a') + u"\n"_s + QString(3000, u'\u00e9');
    middle->insertPlainText(longText);
    QCOMPARE(copied(20), u"sho--"_s + longText + u"ter"_s);
    // Several writes' worth of edits handed over before one is written.
    typeInto(h.response(2), u"one"_s);
    recorder.writeNow(take);
    typeInto(h.response(2), u" two"_s);
    recorder.writeNow(take);
    QTest::keyClick(h.response(2), Qt::Key_Backspace);
    QCOMPARE(copied(2), h.response(2)->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n'));
}

void TestRecovery::workOnDiskLeavesNothingToOffer()
{
    QTemporaryDir data;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"work.dat"_s);
    {
        Harness h({.dataFolder = data.path()});
        h.continueToPage1();
        h.fillAll();
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()).size(), 1);

        h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
        h.click(h.program->page(1), u"Save"_s);
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()), QStringList());

        typeInto(h.response(3), u" again"_s);
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()).size(), 1);
        h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(dir.filePath(u"copy.dat"_s)))
            .expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
        h.click(h.program->page(1), u"SaveAs"_s);
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()), QStringList());

        // A save that fails keeps the copy.
        typeInto(h.response(3), u" and again"_s);
        h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(dir.path())).expectAnyMessage(u"Not Saved"_s);
        h.click(h.program->page(1), u"SaveAs"_s);
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()).size(), 1);

        // Save, then Quit.
        h.dialogs.expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
        h.click(h.program->page(1), u"Save"_s);
        h.program->showWindow(h.program->std11());
        h.click(h.program->std11(), u"quit"_s);
        QCOMPARE(copiesIn(data.path()), QStringList());
        VERIFY_DIALOGS(h);
    }
    {
        // Loaded and unchanged since: nothing to offer either.
        Harness h({.dataFolder = data.path()});
        toStartWindow(h);
        VERIFY_DIALOGS(h);   // no question
        h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path))
            .expectMessage(u"Successfully Loaded.."_s, u"Loaded"_s);
        h.click(h.program->std0(), u"load"_s);
        h.program->recovery().flush();
        QCOMPARE(copiesIn(data.path()), QStringList());
        QVERIFY(!h.program->recovery().unsaved());
    }
    Harness h({.dataFolder = data.path()});
    toStartWindow(h);
    VERIFY_DIALOGS(h);
    QCOMPARE(filesIn(recoveryOf(data.path())), QStringList());   // no lock left behind either
}

void TestRecovery::endingWithoutSaveOffersTheWork_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("No on the warning") << u"warning"_s;
    QTest::newRow("Quit") << u"quit"_s;
    QTest::newRow("title-bar close of a page") << u"close"_s;
}

void TestRecovery::endingWithoutSaveOffersTheWork()
{
    QFETCH(QString, how);
    QTemporaryDir data;
    const QString typed = everyKindOfText();
    {
        Harness h({.dataFolder = data.path()});
        h.continueToPage1();
        h.response(1)->setPlainText(typed);
        typeInto(h.response(2), u"typed, never saved"_s);
        h.answer(2)->setCurrentText(u"no"_s);
        h.response(27)->setPlainText(u"on the last page"_s);
        if (how == "warning"_L1) {
            h.dialogs.expectMessage(kWarning, u"Exiting"_s, Buttons::YesNo, Icon::Critical, Answer::No);
            h.click(h.program->page(1), u"next"_s);
            QCOMPARE(h.lifetime.endProgramCalls, 1);
        } else if (how == "quit"_L1) {
            h.program->showWindow(h.program->std11());
            h.click(h.program->std11(), u"quit"_s);
            QCOMPARE(h.lifetime.endProgramCalls, 1);
        } else {
            h.program->page(1)->close();
            QCOMPARE(h.lifetime.lastWindowClosedCalls, 1);
        }
        VERIFY_DIALOGS(h);   // it ends at once, with no new question
        // On disk the moment the program ends, before the process goes.
        QCOMPARE(copiesIn(data.path()).size(), 1);
    }

    Harness h({.dataFolder = data.path()});
    const QString question = offeredAtStart(h, Answer::Yes);
    VERIFY_DIALOGS(h);
    const RecoveryCopy expected = *decodeRecoveryCopy(
        fileBytes(recoveryOf(data.path()) + u"/set-aside/"_s
                   + filesIn(recoveryOf(data.path()) + u"/set-aside"_s).value(0)),
        nullptr);
    QCOMPARE(question, recoveryOfferText(expected, recoveryOf(data.path()) + u"/set-aside"_s));
    QVERIFY2(question.contains(u"Filled: 3 of the 27 responses"_s), qPrintable(question));
    // In the boxes as Load puts them, answers too; pages made hidden.
    QCOMPARE(h.visibleWindows(), QStringList{u"Std0"_s});
    QCOMPARE(h.response(1)->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n'),
             QString(typed).replace(u"\r\n"_s, u"\n"_s));
    QCOMPARE(h.response(2)->toPlainText(), u"typed, never saved"_s);
    QCOMPARE(h.answer(2)->currentText(), u"no"_s);
    QCOMPARE(h.answer(1)->currentText(), u"Yes"_s);
    QCOMPARE(h.response(27)->toPlainText(), u"on the last page"_s);
    QVERIFY(!h.program->std0()->state.pFileOpened);
    // Continue shows them; the first Save asks for a path.
    h.click(h.program->std0(), u"Command1"_s);
    QCOMPARE(h.visibleWindows(), QStringList{u"Std1"_s});
    QVERIFY(!h.program->std0()->state.pFileOpened);
    QVERIFY(h.program->std0()->state.pFileClosed);
    // The restored work is this run's unsaved work now, in this run's copy.
    QCOMPARE(copiesIn(data.path()), QStringList{h.program->recovery().session() + u".json"_s});
    QCOMPARE(onlyCopyIn(data.path())->responses.at(1), u"typed, never saved"_s);
}

void TestRecovery::declinedCopyIsSetAsideNotLost()
{
    QTemporaryDir data;
    const QString setAside = recoveryOf(data.path()) + u"/set-aside"_s;
    const RecoveryCopy copy = sampleCopy();
    QVERIFY(QDir().mkpath(setAside));
    // Older ones set aside before: the newest ten stay.
    for (int i = 0; i < 12; ++i) {
        const QString old = setAside + u"/old-%1.json"_s.arg(i, 2, 10, QChar(u'0'));
        QVERIFY(writeFileBytes(old, "old"));
        QFile f(old);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-30 + i), QFileDevice::FileModificationTime));
    }
    QVERIFY(writeFileBytes(recoveryOf(data.path()) + u"/20261130-140506-789-42.json"_s, encodeRecoveryCopy(copy)));
    {
        Harness h({.dataFolder = data.path()});
        offeredAtStart(h, Answer::No);
        VERIFY_DIALOGS(h);
        QCOMPARE(h.response(1)->toPlainText(), QString());   // nothing restored
        QCOMPARE(copiesIn(data.path()), QStringList());
        const QStringList kept = filesIn(setAside);
        QCOMPARE(kept.size(), RecoveryFolder::kKeptSetAside);
        QVERIFY(kept.contains(u"20261130-140506-789-42.json"_s));
        QVERIFY(!kept.contains(u"old-00.json"_s));
        QCOMPARE(decodeRecoveryCopy(fileBytes(setAside + u"/20261130-140506-789-42.json"_s), nullptr)->responses,
                 copy.responses);
    }
    // Not offered again; moved back by hand, it is.
    {
        Harness h({.dataFolder = data.path()});
        toStartWindow(h);
        VERIFY_DIALOGS(h);
    }
    QVERIFY(QFile::rename(setAside + u"/20261130-140506-789-42.json"_s,
                          recoveryOf(data.path()) + u"/20261130-140506-789-42.json"_s));
    Harness h({.dataFolder = data.path()});
    offeredAtStart(h, Answer::Yes);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.program->responses().at(0), QString(copy.responses.at(0)).replace(u"\r\n"_s, u"\n"_s).replace(QChar::LineSeparator, u'\n'));
    QCOMPARE(h.program->answers(), copy.answers);
    QCOMPARE(h.program->std0()->state.Name_File, copy.nameFile);
    QCOMPARE(h.program->std0()->state.FileName, copy.fileName);
}

void TestRecovery::copyOfARunningProgramIsNotOffered()
{
    QTemporaryDir data;
    auto first = std::make_unique<Harness>(HarnessOptions{.dataFolder = data.path()});
    first->continueToPage1();
    first->response(1)->setPlainText(u"still being typed"_s);
    first->program->recovery().flush();
    QCOMPARE(copiesIn(data.path()).size(), 1);
    {
        // A second program at the same time: the copy is the first's.
        Harness second({.dataFolder = data.path()});
        toStartWindow(second);
        VERIFY_DIALOGS(second);
        QCOMPARE(copiesIn(data.path()).size(), 1);
    }
    first.reset();   // the first program ends without a save
    Harness h({.dataFolder = data.path()});
    offeredAtStart(h, Answer::Yes);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.response(1)->toPlainText(), u"still being typed"_s);
}

void TestRecovery::unwritableDataFolderIsToldOnce()
{
    QTemporaryDir dir;
    // A file where the data folder should be: not even the superuser can
    // make a folder in it.
    const QString data = dir.filePath(u"data"_s);
    QVERIFY(writeFileBytes(data, "a file"));
    Harness h({.dataFolder = data});
    h.continueToPage1();
    h.dialogs.expectAnyMessage(u"Recovery Copy Not Kept"_s);
    typeInto(h.response(1), u"first"_s);
    QTRY_COMPARE(h.dialogs.shownTexts.size(), 1);
    const QString told = h.dialogs.shownTexts.first();
    QVERIFY2(told.contains(QDir::toNativeSeparators(recoveryOf(data))), qPrintable(told));
    for (int i = 0; i < 3; ++i) {
        typeInto(h.response(1), u" more"_s);
        h.program->recovery().flush();
        QTest::qWait(20);   // a failure is told through the event loop
    }
    QCOMPARE(h.dialogs.shownTexts.size(), 1);
    VERIFY_DIALOGS(h);
    // Everything else works as before.
    const QString path = dir.filePath(u"work.dat"_s);
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
    h.click(h.program->page(1), u"Save"_s);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(path).startsWith("first more more more\r\n"));
}

void TestRecovery::fullDiskKeepsThePreviousCopy()
{
    Harness h;
    h.continueToPage1();
    h.response(1)->setPlainText(u"the earlier copy"_s);
    h.program->recovery().flush();
    const QString copy = recoveryOf(h.data.path()) + u'/' + copiesIn(h.data.path()).value(0);
    const QByteArray earlier = fileBytes(copy);
    QVERIFY(earlier.contains("the earlier copy"));

    // The disk fills up: writes of this process stop after a few hundred
    // bytes, as they would on a full disk.
    struct rlimit unlimited;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = unlimited;
    small.rlim_cur = 512;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto liftLimit = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
    h.dialogs.expectAnyMessage(u"Recovery Copy Not Kept"_s);
    h.response(1)->setPlainText(QString(4096, u'x'));
    h.program->recovery().flush();
    QTRY_COMPARE(h.dialogs.shownTexts.size(), 1);
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(copy), earlier);
    QCOMPARE(copiesIn(h.data.path()).size(), 1);
    QCOMPARE(filesIn(recoveryOf(h.data.path())).size(), 2);   // the copy and its lock, no leftover
}

void TestRecovery::replacedFileIsBackedUpOncePerRun()
{
    QTemporaryDir data;
    QTemporaryDir dir;
    const QString backups = data.path() + u"/backups"_s;
    const QString path = dir.filePath(u"self-study.dat"_s);
    const QByteArray old = "someone's earlier work\r\n";
    QVERIFY(writeFileBytes(path, old));
    const auto saveTo = [](Harness &h, const char *button, const QString &to) {
        h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(to)).expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
        h.click(h.program->page(1), QString::fromLatin1(button));
        VERIFY_DIALOGS(h);
    };
    {
        Harness h({.dataFolder = data.path()});
        h.continueToPage1();
        h.fillAll();
        saveTo(h, "SaveAs", path);
        QCOMPARE(filesIn(backups).size(), 1);
        const QString backup = filesIn(backups).first();
        QVERIFY2(backup.startsWith(u"self-study "_s) && backup.endsWith(u".dat"_s), qPrintable(backup));
        QCOMPARE(fileBytes(backups + u'/' + backup), old);
        // The second Save of the run to the same file makes no second backup.
        h.response(1)->setPlainText(u"changed"_s);
        saveTo(h, "Save", path);
        QCOMPARE(filesIn(backups).size(), 1);
        // A file written over with what it holds already needs none.
        const QString same = dir.filePath(u"same.dat"_s);
        QVERIFY(writeFileBytes(same, TextToFile(h.program->responses())));
        saveTo(h, "SaveAs", same);
        QCOMPARE(filesIn(backups).size(), 1);
    }
    // The next run keeps what it replaces once more; the newest twenty stay.
    for (int i = 0; i < 25; ++i) {
        const QString earlier = backups + u"/earlier %1.dat"_s.arg(i);
        QVERIFY(writeFileBytes(earlier, "x"));
        QFile f(earlier);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-40 + i), QFileDevice::FileModificationTime));
    }
    const QByteArray before = fileBytes(path);
    Harness h({.dataFolder = data.path()});
    h.continueToPage1();
    saveTo(h, "SaveAs", path);
    const QStringList kept = filesIn(backups);
    QCOMPARE(kept.size(), BackupKeeper::kKept);
    QVERIFY(!kept.contains(u"earlier 0.dat"_s));
    int withBefore = 0;
    for (const QString &name : kept)
        withBefore += fileBytes(backups + u'/' + name) == before ? 1 : 0;
    QCOMPARE(withBefore, 1);
}

BREVANT_TEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
