// A disk that fills up while the work or the report is written: each is
// reported, and nothing that was on disk before is lost.
//
// The cases that need a full disk or a folder that even the superuser
// cannot write mount a small tmpfs or a read-only bind mount. They run in
// a mount namespace of the test's own, so no mount outlives it; where the
// system does not allow that, those cases are skipped and say why.
#include "filefaultstest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestFileFaults : public QObject {
    Q_OBJECT
private slots:
    void fullDisk_data();
    void fullDisk();
    void fullDiskWhenTheHeldFileIsRewritten();
    void reportOntoADeviceThatIsAlwaysFull();
};

void TestFileFaults::fullDisk_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("tmpfs");   // a full tmpfs, or else a file size limit
    for (bool tmpfs : {true, false}) {
        const char *how = tmpfs ? "full disk" : "file size limit";
        QTest::addRow("Save, %s", how) << Command::Save << tmpfs;
        QTest::addRow("Save As, %s", how) << Command::SaveAs << tmpfs;
        QTest::addRow("HTML report, %s", how) << Command::Report << tmpfs;
        QTest::addRow("PDF report, %s", how) << Command::PdfReport << tmpfs;
        QTest::addRow("ODT report, %s", how) << Command::OdtReport << tmpfs;
    }
}

void TestFileFaults::fullDisk()
{
    QFETCH(Command, command);
    QFETCH(bool, tmpfs);
    if (tmpfs && !g_noMounts.isEmpty())
        QSKIP(qPrintable(g_noMounts));
    QTemporaryDir dir;
    const QString disk = dir.filePath(u"disk"_s);
    QVERIFY(QDir().mkdir(disk));
    if (tmpfs)
        QCOMPARE(mountTmpfs(disk, 64), QString());
    const auto unmountLater = qScopeGuard([&] {
        if (tmpfs)
            unmount(disk);
    });

    const QString path = disk + u"/earlier"_s;
    const QByteArray earlier = "the earlier file, which must survive";
    QVERIFY(writeFileBytes(path, earlier));
    if (tmpfs)
        QVERIFY(fillUp(disk));

    Harness h;
    prepare(h, command);
    if (QTest::currentTestFailed())
        return;
    // Without a mount, a limit on the size of the files this process
    // writes fails the write the same way, a few hundred bytes in.
    struct rlimit unlimited;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    if (!tmpfs) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = unlimited;
        small.rlim_cur = 256;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const auto liftLimit = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
    runAndExpectRefusal(h, command, path);
    if (QTest::currentTestFailed())
        return;
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    // (Qt gives no reason of its own for a write cut short by the limit.)
    if (tmpfs)
        QVERIFY2(h.dialogs.shownTexts.last().contains(u"No space left on device"_s),
                 qPrintable(h.dialogs.shownTexts.last()));
    QCOMPARE(fileBytes(path), earlier);
    const QStringList expected = tmpfs ? QStringList{u"earlier"_s, u"filler"_s} : QStringList{u"earlier"_s};
    QCOMPARE(filesIn(disk), expected);   // no half-written file left
    verifyNothingTookHold(h, command);
}

void TestFileFaults::fullDiskWhenTheHeldFileIsRewritten()
{
    if (!g_noMounts.isEmpty())
        QSKIP(qPrintable(g_noMounts));
    QTemporaryDir dir;
    const QString disk = dir.filePath(u"disk"_s);
    QVERIFY(QDir().mkdir(disk));
    QCOMPARE(mountTmpfs(disk, 64), QString());
    const auto unmountLater = qScopeGuard([&] { unmount(disk); });
    const QString path = disk + u"/work.dat"_s;

    Harness h;
    prepare(h, Command::Save);
    h.dialogs.expectSave(kWorkFilter, FileDialogOutcome::chosen(path))
        .expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
    h.click(h.program->page(1), u"Save"_s);
    VERIFY_DIALOGS(h);
    const QByteArray first = fileBytes(path);
    QCOMPARE(first, TextToFile(h.program->questionnaire().responses()));

    // The disk fills up; the next Save, which asks nothing, fails and says so.
    QVERIFY(fillUp(disk));
    h.response(27)->setPlainText(u"A longer last response than before"_s);
    h.dialogs.expectAnyMessage(kNotSaved);
    h.click(h.program->page(10), u"Save"_s);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains(QDir::toNativeSeparators(path)));
    QCOMPARE(fileBytes(path), first);
    // (With the lock file that says the program has it open.)
    QCOMPARE(filesIn(disk), (QStringList{u".~lock.work.dat#"_s, u"filler"_s, u"work.dat"_s}));
    QVERIFY(h.program->std0()->state.pFileOpened);

    // Room again: the same Save goes through.
    QVERIFY(QFile::remove(disk + u"/filler"_s));
    h.dialogs.expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
    h.click(h.program->page(10), u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(h.program->questionnaire().responses()));
}

void TestFileFaults::reportOntoADeviceThatIsAlwaysFull()
{
    // A node of the same device as /dev/full, made here so that a fault can
    // only ever harm this copy.
    QTemporaryDir dir;
    const QString device = dir.filePath(u"full"_s);
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        QSKIP(qPrintable(systemError("cannot make a device node here (mknod)")));

    Harness h;
    prepare(h, Command::Report);
    runAndExpectRefusal(h, Command::Report, device);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(h.dialogs.shownTexts.last().contains(u"No space left on device"_s),
             qPrintable(h.dialogs.shownTexts.last()));
    // Still the device: the report was not put in its place.
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(device).constData(), &st), 0);
    QVERIFY(S_ISCHR(st.st_mode));
    QCOMPARE(filesIn(dir.path()), QStringList{u"full"_s});
    verifyNothingTookHold(h, Command::Report);
}

int main(int argc, char *argv[])
{
    g_noMounts = privateMounts();   // before the application starts any thread
    chooseOffscreenPlatform();
    QApplication app(argc, argv);
    TestFileFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filefaults.moc"
