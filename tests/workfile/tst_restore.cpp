// Work not saved is offered at the next start after any ending, a declined
// copy is set aside, a running program's copy is never offered, and a file
// that a save replaces keeps its old content in the backups folder.
#include "recoverytest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestRestore : public QObject {
    Q_OBJECT
private slots:
    void endingWithoutSaveOffersTheWork_data();
    void endingWithoutSaveOffersTheWork();
    void declinedCopyIsSetAsideNotLost();
    void copyOfARunningProgramIsNotOffered();
    void replacedFileIsBackedUpOncePerRun();
};
void TestRestore::endingWithoutSaveOffersTheWork_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("No on the warning") << u"warning"_s;
    QTest::newRow("Quit") << u"quit"_s;
    QTest::newRow("title-bar close of a page") << u"close"_s;
}

void TestRestore::endingWithoutSaveOffersTheWork()
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

void TestRestore::declinedCopyIsSetAsideNotLost()
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
    QCOMPARE(h.program->questionnaire().responses().at(0), QString(copy.responses.at(0)).replace(u"\r\n"_s, u"\n"_s).replace(QChar::LineSeparator, u'\n'));
    QCOMPARE(h.program->questionnaire().answers(), copy.answers);
    QCOMPARE(h.program->std0()->state.Name_File, copy.nameFile);
    QCOMPARE(h.program->std0()->state.FileName, copy.fileName);
}

void TestRestore::copyOfARunningProgramIsNotOffered()
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

void TestRestore::replacedFileIsBackedUpOncePerRun()
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
        // The message says where, under "Successfully Saved..", the first time.
        QCOMPARE(h.dialogs.shownDetails.last(),
                 u"The file's earlier content is kept in "_s + QDir::toNativeSeparators(backups + u'/' + backup));
        // The second Save of the run to the same file makes no second backup.
        h.response(1)->setPlainText(u"changed"_s);
        saveTo(h, "Save", path);
        QCOMPARE(filesIn(backups).size(), 1);
        QCOMPARE(h.dialogs.shownDetails.last(), QString());
        // A file written over with what it holds already needs none.
        const QString same = dir.filePath(u"same.dat"_s);
        QVERIFY(writeFileBytes(same, TextToFile(h.program->questionnaire().responses())));
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

BREVANT_TEST_MAIN(TestRestore)
#include "tst_restore.moc"
