// The recovery copy follows the boxes as the user types, keeps every
// character, is clean once the work is on disk, and tells once when it
// cannot be written.
#include "recoverytest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

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
    void unwritableDataFolderIsToldOnce();
    void fullDiskKeepsThePreviousCopy();
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

BREVANT_TEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
