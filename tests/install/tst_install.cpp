// `cmake --install` into a scratch root: the program folder under
// lib/brevant, the launcher in bin, the desktop integration under share and
// the validators' verdict on it, and Open Help! (PDF) in that layout. The
// package test starts the installed program itself.

#include "app/program.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "harness.h"
#include "testmain.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

namespace {

const QString kAppId = QStringLiteral(BREVANT_APP_ID);

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit) {
        result.err = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The files below a folder, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void programFolderHoldsTheBuiltProgramAndData();
    void launcherAndDesktopEntryPointAtTheProgram();
    void validatorsAcceptDesktopEntryAndMetadata();
    void openHelpOpensTheInstalledGuide();

private:
    QTemporaryDir m_root;
    QString m_prefix;    // <root>/usr
    QString m_program;   // <root>/usr/lib/brevant
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_prefix = m_root.filePath(QStringLiteral("usr"));
    m_program = m_prefix + QStringLiteral("/lib/brevant");
    const Run install = run(QStringLiteral(BREVANT_CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(BREVANT_BUILD_DIR),
                             QStringLiteral("--prefix"), m_prefix});
    QVERIFY2(install.exitCode == 0, qPrintable(install.err + install.out));
}

void TestInstall::programFolderHoldsTheBuiltProgramAndData()
{
    const QFileInfo exe(m_program + QStringLiteral("/brevant"));
    QVERIFY(exe.isFile() && !exe.isSymLink());
    QVERIFY(exe.isExecutable());

    // Every data file of the build's program folder is installed beside the
    // program, and nothing else; the placeholders of empty folders are not.
    const QString built = builtProgramFolder();
    for (const QString &folder : {QStringLiteral("Templates"), QStringLiteral("Documentation"),
                                  QStringLiteral("Database")}) {
        QVERIFY2(QFileInfo(m_program + QLatin1Char('/') + folder).isDir(), qPrintable(folder));
        QStringList expected = filesBelow(built + QLatin1Char('/') + folder);
        expected.removeIf([](const QString &f) { return QFileInfo(f).fileName() == QLatin1String(".keep"); });
        QCOMPARE(filesBelow(m_program + QLatin1Char('/') + folder), expected);
    }
    // The document engine, which the program loads from its own folder:
    // every library it needs is found, and neither file looks for
    // libraries in the build.
    const QString engine = m_program + QStringLiteral("/libbrevant_documents.so");
    QVERIFY(QFileInfo(engine).isFile());
    const Run ldd = run(QStringLiteral("ldd"), {engine});
    QVERIFY2(ldd.exitCode == 0 && !ldd.out.contains(QStringLiteral("not found")), qPrintable(ldd.out + ldd.err));
    for (const QString &file : {exe.filePath(), engine}) {
        const Run dynamic = run(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
        QVERIFY2(!dynamic.out.contains(QStringLiteral(BREVANT_BUILD_DIR)), qPrintable(dynamic.out));
    }

    QFile guide(m_program + QStringLiteral("/Documentation/Documentation.pdf"));
    QVERIFY(guide.open(QIODevice::ReadOnly));
    QVERIFY(guide.read(5) == "%PDF-");
    QCOMPARE(guide.size(), QFileInfo(built + QStringLiteral("/Documentation/Documentation.pdf")).size());
}

void TestInstall::launcherAndDesktopEntryPointAtTheProgram()
{
    const QFileInfo launcher(m_prefix + QStringLiteral("/bin/brevant"));
    QVERIFY(launcher.isSymLink());
    QCOMPARE(launcher.canonicalFilePath(), QFileInfo(m_program + QStringLiteral("/brevant")).canonicalFilePath());

    const QString desktop = m_prefix + QStringLiteral("/share/applications/") + kAppId + QStringLiteral(".desktop");
    QSettings entry(desktop, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    const QString exec = entry.value(QStringLiteral("Exec")).toString();
    QVERIFY2(QFileInfo(m_prefix + QStringLiteral("/bin/") + exec.section(QLatin1Char(' '), 0, 0)).exists(),
             qPrintable(QStringLiteral("Exec=") + exec + QStringLiteral(" names no installed launcher")));
    const QString icon = entry.value(QStringLiteral("Icon")).toString();
    QVERIFY2(QFileInfo::exists(m_prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/") + icon
                               + QStringLiteral(".svg")),
             qPrintable(QStringLiteral("Icon=") + icon + QStringLiteral(" has no installed icon")));
    QVERIFY(QFileInfo::exists(m_prefix + QStringLiteral("/share/metainfo/") + kAppId
                              + QStringLiteral(".metainfo.xml")));
}

void TestInstall::validatorsAcceptDesktopEntryAndMetadata()
{
    const Run desktop = run(QStringLiteral("desktop-file-validate"),
                            {m_prefix + QStringLiteral("/share/applications/") + kAppId + QStringLiteral(".desktop")});
    QVERIFY2(desktop.exitCode == 0 && desktop.out.trimmed().isEmpty(), qPrintable(desktop.out + desktop.err));

    const Run metainfo = run(QStringLiteral("appstreamcli"),
                             {QStringLiteral("validate"), QStringLiteral("--no-net"),
                              m_prefix + QStringLiteral("/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml")});
    QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.out + metainfo.err));

    // The whole tree: the metadata with the desktop entry and icon it names.
    const Run tree = run(QStringLiteral("appstreamcli"),
                         {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), m_root.path()});
    QVERIFY2(tree.exitCode == 0, qPrintable(tree.out + tree.err));
}

void TestInstall::openHelpOpensTheInstalledGuide()
{
    Harness h({.programFolder = m_program});
    h.program->start();
    h.click(h.program->registerUpdate(), QStringLiteral("continue"));
    h.click(h.program->std0(), QStringLiteral("Command2"));

    QCOMPARE(h.shell.requests.size(), 1);
    const FakeShell::Request &request = h.shell.requests.first();
    QCOMPARE(request.verb, QStringLiteral("open"));
    QCOMPARE(request.target, m_program + QStringLiteral("/Documentation/Documentation.pdf"));
    QCOMPARE(request.showCode, 1);
    QVERIFY(QFileInfo(request.target).isFile());
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("Std0")});
    VERIFY_DIALOGS(h);
}

BREVANT_TEST_MAIN(TestInstall)
#include "tst_install.moc"
