#include "harness.h"
#include "pdftext.h"
#include "testmain.h"

#include "app/std11.h"
#include "print/printcommand.h"
#include "print/printsurfaceqt.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace brevant;
using namespace brevant::test;

namespace {

const QString kQueue = QStringLiteral("BrevantTestPDF");
const QString kPdfBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kPdfDriver = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd");

// Runs a CUPS command-line tool against the test's own scheduler.
bool cupsTool(const QString &tool, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
    const bool ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return ok;
}

// Where the PDF printer puts its documents for this user: the "Out" line of
// its configuration, with ${HOME} and ${USER} filled in.
QString pdfPrinterOutputFolder()
{
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QRegularExpression line(QStringLiteral("^\\s*Out\\s+(\\S.*?)\\s*$"));
        while (!conf.atEnd()) {
            const auto m = line.match(QString::fromLocal8Bit(conf.readLine()));
            if (m.hasMatch())
                out = m.captured(1);
        }
    }
    const passwd *user = getpwuid(getuid());
    if (user) {
        out.replace(QStringLiteral("${HOME}"), QString::fromLocal8Bit(user->pw_dir));
        out.replace(QStringLiteral("${USER}"), QString::fromLocal8Bit(user->pw_name));
    }
    return out;
}

QMap<QString, QDateTime> pdfFilesIn(const QString &folder)
{
    QMap<QString, QDateTime> files;
    const auto entries = QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QFileInfo &info : entries)
        files.insert(info.absoluteFilePath(), info.lastModified());
    return files;
}

QStringList someResponses()
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i)
        texts << QStringLiteral("Printed reply %1 of the department.").arg(i);
    texts[9] = QStringLiteral("First line\nSecond line");
    return texts;
}

} // namespace

// Print on a real CUPS scheduler that the test starts for itself: its own
// configuration folder and socket, a PDF printer as its only queue. The
// machine's own printers are never asked.
class TstCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void printsOnDefaultPrinter();
    void refusingPrinterIsReported();

private:
    QString errorLog() const;
    bool pressPrint(Harness &h);

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QtPrinterFactory m_printers;
    QString m_outFolder;
    bool m_outFolderExisted = true;
    QStringList m_producedFiles;
};

void TstCupsPrint::initTestCase()
{
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"),
                                                         {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (cupsd.isEmpty())
        QSKIP("cupsd is not installed (Debian package cups)");
    if (!QFileInfo::exists(kPdfBackend) || !QFileInfo::exists(kPdfDriver))
        QSKIP("the PDF printer is not installed (Debian package printer-driver-cups-pdf)");
    if (geteuid() != 0)
        QSKIP("the PDF printer's backend only runs under a scheduler started as root");
    QVERIFY(m_dir.isValid());

    // The scheduler's helpers run as the spool user and must reach its
    // folders.
    const QString root = m_dir.path();
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                    | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                    | QFile::ExeOther);
    for (const char *sub : {"conf", "spool", "tmp", "cache", "state", "log"})
        QVERIFY(QDir(root).mkpath(QString::fromLatin1(sub)));
    QVERIFY(QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("1777"), root + QStringLiteral("/tmp")}) == 0);
    const QString socket = root + QStringLiteral("/cups.sock");

    QFile conf(root + QStringLiteral("/conf/cupsd.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("Listen %1\n"
                              "Browsing No\n"
                              "BrowseLocalProtocols none\n"
                              "DefaultAuthType None\n"
                              "WebInterface No\n"
                              "LogLevel info\n"
                              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                              "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                              "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                   .arg(socket).toLocal8Bit());
    conf.close();
    QFile files(root + QStringLiteral("/conf/cups-files.conf"));
    QVERIFY(files.open(QIODevice::WriteOnly));
    files.write(QStringLiteral("ServerRoot %1/conf\n"
                               "RequestRoot %1/spool\n"
                               "TempDir %1/tmp\n"
                               "CacheDir %1/cache\n"
                               "StateDir %1/state\n"
                               "ErrorLog %1/log/error_log\n"
                               "AccessLog %1/log/access_log\n"
                               "PageLog %1/log/page_log\n"
                               "Printcap %1/state/printcap\n"
                               "SystemGroup root\n")
                    .arg(root).toLocal8Bit());
    files.close();

    // Everything in this process, Qt's printer support included, talks to
    // this scheduler only.
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), conf.fileName(),
                          QStringLiteral("-s"), files.fileName()});
    if (!m_cupsd.waitForStarted())
        QSKIP(qPrintable(QStringLiteral("cupsd could not be started: ") + m_cupsd.errorString()));
    QString status;
    const bool up = QTest::qWaitFor([&] {
        return m_cupsd.state() != QProcess::Running
               || (cupsTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &status)
                   && status.contains(QStringLiteral("is running")));
    }, 30000);
    if (!up || m_cupsd.state() != QProcess::Running) {
        QSKIP(qPrintable(QStringLiteral("cupsd does not run here: ")
                         + QString::fromLocal8Bit(m_cupsd.readAll()).simplified() + QLatin1Char(' ')
                         + errorLog().right(600).simplified()));
    }

    m_outFolder = pdfPrinterOutputFolder();
    m_outFolderExisted = QFileInfo::exists(m_outFolder);
}

void TstCupsPrint::cleanupTestCase()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(30000))
            m_cupsd.kill();
        m_cupsd.waitForFinished();
    }
    // Take away what this test printed, and nothing else.
    for (const QString &file : std::as_const(m_producedFiles))
        QFile::remove(file);
    if (!m_outFolderExisted && !m_outFolder.isEmpty())
        QDir().rmdir(m_outFolder);
}

QString TstCupsPrint::errorLog() const
{
    QFile log(m_dir.filePath(QStringLiteral("log/error_log")));
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}

bool TstCupsPrint::pressPrint(Harness &h)
{
    h.click(h.program->std11(), QStringLiteral("print"));
    return !QTest::currentTestFailed();
}

void TstCupsPrint::printsOnDefaultPrinter()
{
    // A scheduler without queues: no printer is set up.
    QCOMPARE(m_printers.defaultPrinter(), QString());
    QString out;
    QVERIFY2(cupsTool(QStringLiteral("lpadmin"), {QStringLiteral("-p"), kQueue, QStringLiteral("-E"),
                                                  QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                                                  QStringLiteral("-P"), kPdfDriver,
                                                  // Turns the document into PostScript with fonts
                                                  // that keep their text, so it can be read back.
                                                  QStringLiteral("-o"),
                                                  QStringLiteral("pdftops-renderer-default=pdftocairo")},
                           &out),
             qPrintable(out));
    QVERIFY2(cupsTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), kQueue}, &out), qPrintable(out));
    QCOMPARE(m_printers.defaultPrinter(), kQueue);

    const QMap<QString, QDateTime> before = pdfFilesIn(m_outFolder);
    Harness h({.printers = &m_printers});
    h.program->questionnaire().setResponses(someResponses());
    h.dialogs.expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    QVERIFY(pressPrint(h));
    VERIFY_DIALOGS(h);

    // The job runs through the scheduler's filters into the PDF printer.
    QString jobs;
    const bool done = QTest::qWaitFor([&] {
        return cupsTool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("not-completed"),
                                                   QStringLiteral("-o"), kQueue}, &jobs)
               && jobs.trimmed().isEmpty();
    }, 120000);
    QVERIFY2(done, qPrintable(jobs + errorLog().right(2000)));
    QVERIFY(cupsTool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                QStringLiteral("-o"), kQueue}, &jobs));
    QCOMPARE(jobs.trimmed().split(QLatin1Char('\n')).size(), 1);

    QString printed;
    const QMap<QString, QDateTime> after = pdfFilesIn(m_outFolder);
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()) || before.value(it.key()) != it.value())
            printed = it.key();
    }
    QVERIFY2(!printed.isEmpty(), qPrintable(QStringLiteral("no document in ") + m_outFolder + "\n"
                                            + errorLog().right(2000)));
    m_producedFiles << printed;
    const QString missing = firstMissingInOrder(pdfText(printed), reportPieces(someResponses()));
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not found in order: ") + missing));
}

void TstCupsPrint::refusingPrinterIsReported()
{
    if (m_printers.defaultPrinter() != kQueue)
        QSKIP("the printer was not set up");
    QString out;
    QVERIFY2(cupsTool(QStringLiteral("cupsreject"), {kQueue}, &out), qPrintable(out));
    Harness h({.printers = &m_printers});
    h.fillAll();
    h.dialogs.expectAnyMessage(QString());
    QVERIFY(pressPrint(h));
    cupsTool(QStringLiteral("cupsaccept"), {kQueue});
    VERIFY_DIALOGS(h);
    const QString shown = h.dialogs.shownTexts.value(0);
    QVERIFY2(shown.startsWith(printerFailedText(kQueue, QString())), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("did not take")), qPrintable(shown));
    QCOMPARE(h.dialogs.shownTexts.size(), 1);
}

BREVANT_TEST_MAIN(TstCupsPrint)
#include "tst_cupsprint.moc"
