// Faults of real files while the work or the report is written, and a cut
// short update database: each is reported, and nothing that was on disk
// before is lost.
//
// The cases that need a full disk or a folder that even the superuser
// cannot write mount a small tmpfs or a read-only bind mount. They run in
// a mount namespace of the test's own, so no mount outlives it; where the
// system does not allow that, those cases are skipped and say why.
#include "app/program.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "files.h"
#include "harness.h"
#include "testmain.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/htmlreport.h"
#include "report/templateselect.h"
#include "workfile/workfileformat.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A design's option button on the template window.
QRadioButton *designOption(QWidget *window, const char *name)
{
    return window->findChild<QRadioButton *>(QLatin1String(name));
}

const QString kWorkFilter = u"Dat Files (*.dat)|*.dat"_s;
const QString kReportFilter =
    u"html Files (*.html)|*.html|PDF Files (*.pdf)|*.pdf|OpenDocument Text (*.odt)|*.odt"_s;
const QString kNotSaved = u"Not Saved"_s;

// Why mounts cannot be used here; empty when they can.
QString g_noMounts;

QString systemError(const char *what)
{
    return QString::fromLatin1(what) + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

// Gives the test a mount namespace of its own, with mounts that do not
// spread back to the system. Must run before any thread starts.
QString privateMounts()
{
    if (::geteuid() != 0)
        return u"mounting needs the superuser"_s;
    if (::unshare(CLONE_NEWNS) != 0)
        return systemError("unshare(CLONE_NEWNS)");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return systemError("making / private");
    return {};
}

QString mountTmpfs(const QString &at, int kibibytes)
{
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0)
        return systemError("mounting a tmpfs");
    return {};
}

QString makeReadOnly(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return systemError("bind mount");
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        return systemError("read-only remount");
    return {};
}

void unmount(const QString &at)
{
    ::umount2(QFile::encodeName(at).constData(), MNT_DETACH);
}

// Fills the file system that holds folder until not one more byte fits.
bool fillUp(const QString &folder)
{
    QFile filler(folder + u"/filler"_s);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The report as a page, a PDF or an ODT: the file type chosen in the
// template window's Save dialog.
enum class Command { Save, SaveAs, Report, PdfReport, OdtReport };

bool isReport(Command command)
{
    return command != Command::Save && command != Command::SaveAs;
}

// The program at page 1 with every response filled, and for the report the
// shipped designs installed and the template window open on "Orange
// Madness".
void prepare(Harness &h, Command command)
{
    h.continueToPage1();
    h.fillAll();
    if (!isReport(command))
        return;
    const QString from = builtProgramFolder() + u"/Templates"_s;
    const QString to = h.folder.filePath(u"Templates"_s);
    QVERIFY(QDir().mkpath(to));
    for (const ReportDesign &d : reportDesigns()) {
        const QString file = u'/' + d.templatePath.section(u'/', -1);
        QVERIFY(QFile::copy(from + file, to + file));
    }
    h.program->showWindow(h.program->std11());
    h.click(h.program->std11(), u"save"_s);
    designOption(h.program->templateSelect(), "OM")->click();
}

// Runs the command through its button, the dialog answering path, and
// expects it to be refused with a message that names path.
void runAndExpectRefusal(Harness &h, Command command, const QString &path)
{
    const int shown = h.dialogs.shownTexts.size();
    switch (command) {
    case Command::Save:
    case Command::SaveAs:
        h.dialogs.expectSave(kWorkFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(kNotSaved);
        h.click(h.program->page(1), command == Command::Save ? u"Save"_s : u"SaveAs"_s);
        break;
    case Command::Report:
    case Command::PdfReport:
    case Command::OdtReport: {
        const int fileType = command == Command::PdfReport ? 1 : command == Command::OdtReport ? 2 : 0;
        h.dialogs.expectSave(kReportFilter, FileDialogOutcome::chosen(path, fileType))
            .expectAnyMessage(QString());
        h.click(h.program->templateSelect(), u"Save"_s);
        break;
    }
    }
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.shownTexts.size(), shown + 1);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
}

// Nothing of the command took hold: no current work file, no report shown.
void verifyNothingTookHold(Harness &h, Command command)
{
    if (isReport(command)) {
        QVERIFY(!h.program->existing(u"browser"_s));
        QVERIFY(h.shell.requests.isEmpty());
    } else
        QVERIFY(!h.program->std0()->state.pFileOpened);
}

} // namespace

class TestFileFaults : public QObject {
    Q_OBJECT
private slots:
    void fullDisk_data();
    void fullDisk();
    void fullDiskWhenTheHeldFileIsRewritten();
    void reportOntoADeviceThatIsAlwaysFull();
    void folderTurnsUnwritableAfterTheDialog_data();
    void folderTurnsUnwritableAfterTheDialog();
    void templateDeletedBetweenPreviewAndSave();
    void updateDatabaseCutInHalf_data();
    void updateDatabaseCutInHalf();
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
    QCOMPARE(first, TextToFile(h.program->responses()));

    // The disk fills up; the next Save, which asks nothing, fails and says so.
    QVERIFY(fillUp(disk));
    h.response(27)->setPlainText(u"A longer last response than before"_s);
    h.dialogs.expectAnyMessage(kNotSaved);
    h.click(h.program->page(10), u"Save"_s);
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains(QDir::toNativeSeparators(path)));
    QCOMPARE(fileBytes(path), first);
    QCOMPARE(filesIn(disk), (QStringList{u"filler"_s, u"work.dat"_s}));
    QVERIFY(h.program->std0()->state.pFileOpened);

    // Room again: the same Save goes through.
    QVERIFY(QFile::remove(disk + u"/filler"_s));
    h.dialogs.expectMessage(u"Successfully Saved.."_s, u"Saved"_s);
    h.click(h.program->page(10), u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), TextToFile(h.program->responses()));
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

void TestFileFaults::folderTurnsUnwritableAfterTheDialog_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("mount");   // read-only mount, or else the folder replaced by a file
    for (bool mount : {true, false}) {
        const char *how = mount ? "read-only" : "replaced by a file";
        QTest::addRow("Save, folder %s", how) << Command::Save << mount;
        QTest::addRow("Save As, folder %s", how) << Command::SaveAs << mount;
        QTest::addRow("HTML report, folder %s", how) << Command::Report << mount;
        QTest::addRow("PDF report, folder %s", how) << Command::PdfReport << mount;
        QTest::addRow("ODT report, folder %s", how) << Command::OdtReport << mount;
    }
}

void TestFileFaults::folderTurnsUnwritableAfterTheDialog()
{
    QFETCH(Command, command);
    QFETCH(bool, mount);
    if (mount && !g_noMounts.isEmpty())
        QSKIP(qPrintable(g_noMounts));
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"folder"_s);
    const QString moved = dir.filePath(u"moved"_s);
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + u"/earlier"_s;
    const QByteArray earlier = "the earlier file, which must survive";
    QVERIFY(writeFileBytes(path, earlier));

    Harness h;
    prepare(h, command);
    if (QTest::currentTestFailed())
        return;
    bool changed = false;
    QString problem;
    h.dialogs.onDialog = [&] {
        // While the dialog is up, the folder stops taking files.
        if (changed)
            return;
        changed = true;
        if (mount) {
            problem = makeReadOnly(folder);
        } else if (!QDir().rename(folder, moved) || !writeFileBytes(folder, "a file now")) {
            problem = u"cannot replace the folder by a file"_s;
        }
    };
    const auto undo = qScopeGuard([&] {
        if (mount)
            unmount(folder);
    });
    runAndExpectRefusal(h, command, path);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(changed);
    QCOMPARE(problem, QString());

    if (mount) {
        QCOMPARE(fileBytes(path), earlier);
        QCOMPARE(filesIn(folder), QStringList{u"earlier"_s});
    } else {
        QCOMPARE(fileBytes(folder), QByteArray("a file now"));
        QCOMPARE(fileBytes(moved + u"/earlier"_s), earlier);
        QCOMPARE(filesIn(moved), QStringList{u"earlier"_s});
    }
    verifyNothingTookHold(h, command);
}

void TestFileFaults::templateDeletedBetweenPreviewAndSave()
{
    QTemporaryDir out;
    const QString path = out.filePath(u"report.html"_s);
    QVERIFY(writeFileBytes(path, "earlier report"));

    Harness h;
    prepare(h, Command::Report);
    TemplateSelect *w = h.program->templateSelect();
    // The example page of the design is shown; then its template goes.
    QVERIFY(QDir().mkpath(h.folder.filePath(u"Templates/Template_Examples"_s)));
    const QString example = h.folder.filePath(u"Templates/Template_Examples/Orange_Madness.htm"_s);
    QVERIFY(QFile::copy(builtProgramFolder()
                            + u"/Templates/Template_Examples/Orange_Madness.htm"_s,
                        example));
    h.click(w, u"preview"_s);
    auto *browser = qobject_cast<BrowserWindow *>(h.program->existing(u"browser"_s));
    QVERIFY(browser && browser->isVisible());
    const QString templatePath = h.program->programPath(reportDesigns().at(1).templatePath);
    QVERIFY(QFile::remove(templatePath));

    h.dialogs.expectSave(kReportFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QString());
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QDir::toNativeSeparators(templatePath)), qPrintable(text));
    QVERIFY2(text.contains(u"No such file"_s), qPrintable(text));
    QCOMPARE(fileBytes(path), QByteArray("earlier report"));
    QCOMPARE(filesIn(out.path()), QStringList{u"report.html"_s});
    // The browser still shows the example page, and both windows stay.
    QCOMPARE(browser->view()->source(), QUrl::fromLocalFile(example));
    QVERIFY(browser->isVisible() && w->isVisible());
}

void TestFileFaults::updateDatabaseCutInHalf_data()
{
    QTest::addColumn<QString>("sql");   // empty: the shipped database
    QTest::newRow("shipped database") << QString();
    // Many rows, the one that announces updates in the half that is gone.
    QString sql = u"CREATE TABLE updates (Version TEXT, Updates TEXT);"_s;
    for (int i = 0; i < 1500; ++i)
        sql += u"INSERT INTO updates VALUES ('0.%1', 'False');"_s.arg(i);
    sql += u"INSERT INTO updates VALUES ('1.0', 'True');"_s;
    QTest::newRow("announcing row in the lost half") << sql;
}

void TestFileFaults::updateDatabaseCutInHalf()
{
    QFETCH(QString, sql);
    Harness h;
    const QString path = h.program->programPath(u"/Database/update.db"_s);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (sql.isEmpty()) {
        QVERIFY(QFile::copy(builtProgramFolder() + u"/Database/update.db"_s, path));
    } else {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"writer"_s);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(db.transaction());
            for (const QString &statement : sql.split(u';', Qt::SkipEmptyParts))
                QVERIFY(q.exec(statement));
            QVERIFY(db.commit());
            db.close();
        }
        QSqlDatabase::removeDatabase(u"writer"_s);
    }
    const QByteArray whole = fileBytes(path);
    QVERIFY(whole.size() >= 4096);
    const QByteArray half = whole.left(whole.size() / 2);
    QVERIFY(writeFileBytes(path, half));

    h.program->start();
    h.dialogs.expectAnyMessage(u"Update Check Failed"_s);
    h.click(h.program->registerUpdate(), u"update"_s);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.startsWith(u"Could not check for updates: "_s), qPrintable(text));
    QVERIFY2(text.contains(u"malformed"_s), qPrintable(text));
    QVERIFY(!h.program->registerUpdate()->updatesAvailable);
    QVERIFY(h.shell.requests.isEmpty());
    // The check only reads: the file is as it was, with nothing beside it.
    QCOMPARE(fileBytes(path), half);
    QCOMPARE(filesIn(QFileInfo(path).path()), QStringList{u"update.db"_s});
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
