// The peak memory of saving the report as a PDF: each side in a process of
// its own, the bench run again with --memory-child, and the figure the
// child's peak resident size (VmHWM of /proc/self/status) as it ends. Both
// children start the same way (the application
// object, the 27 responses of 40 KiB, the design's template), then make
// the same report: ours the tagged PDF through writeReport, as the
// template window's Save does; the floor QTextDocument::setHtml and print
// of the same HTML report to a PDF QPrinter.

#include "benches.h"
#include "inputs.h"

#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "io/codepage.h"

#include <QCoreApplication>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QTextDocument>

#include <QProcess>

#include <cstdio>

namespace bench {

namespace {

constexpr qsizetype kResponseSize = 40 * 1024;

// The peak of the child's own memory, which it reports as it ends (the
// rusage of a spawned child also counts the memory of the bench itself, in
// which the child starts before it runs another program).
double childPeakMiB(const QString &what, const QString &programFolder, const QString &out)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory-child"), what, QStringLiteral("--child-folder"), programFolder,
                 QStringLiteral("--child-output"), out});
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        fail(QStringLiteral("the memory child for %1 failed: %2").arg(what, child.errorString()));
    const QByteArray printed = child.readAllStandardOutput();
    const qsizetype at = printed.indexOf("peak-kib ");
    if (at < 0)
        fail(QStringLiteral("the memory child for %1 gave no peak").arg(what));
    QFile written(out);
    if (!written.open(QIODevice::ReadOnly) || !written.read(5).startsWith("%PDF-"))
        fail(QStringLiteral("the memory child for %1 wrote no PDF").arg(what));
    return printed.mid(at + 9).split('\n').first().trimmed().toDouble() / 1024.0;
}

// The peak resident size of this process (VmHWM), in KiB.
QByteArray ownPeakKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QByteArray();
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first();
    }
    return QByteArray();
}

} // namespace

int documentMemoryChild(const QString &what, const QString &programFolder, const QString &out)
{
    const QStringList texts = responses(kResponseSize);
    const QString templateFile = programFolder + QStringLiteral("/Templates/Orange_Madness.htm");
    if (what == QLatin1String("pdf")) {
        QString error;
        if (!brevant::writeReport(brevant::ReportFormat::Pdf, templateFile, out, texts, brevant::DocumentOptions(),
                                  &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("peak-kib %s\n", ownPeakKib().constData());
        return 0;
    }
    const QByteArray bytes = brevant::reportBytes(brevant::test::fileBytes(templateFile), texts);
    QString html;
    html.reserve(bytes.size());
    for (const char b : bytes)
        html += QChar(brevant::cp1252::toUnicode(static_cast<unsigned char>(b)));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QTextDocument doc;
    doc.setHtml(html);
    doc.print(&printer);
    std::printf("peak-kib %s\n", ownPeakKib().constData());
    return 0;
}

Row documentMemoryRow(const Settings &settings)
{
    const QString ours = settings.workFolder + QStringLiteral("/memory-report.pdf");
    const QString floor = settings.workFolder + QStringLiteral("/memory-printed.pdf");
    const int runs = qMin(settings.runs, 5);
    QList<double> oursMiB, floorMiB;
    for (int i = 0; i < runs; ++i) {
        oursMiB << childPeakMiB(QStringLiteral("pdf"), settings.programFolder, ours);
        floorMiB << childPeakMiB(QStringLiteral("print"), settings.programFolder, floor);
    }
    Row row;
    row.figure = QStringLiteral("Peak memory, PDF report (27 x 40 KiB)");
    row.unit = QStringLiteral("MiB");
    row.ours = median(oursMiB);
    row.baseline = median(floorMiB);
    row.runs = runs;
    row.goal = 1.5;
    row.goalText = QStringLiteral("<= 1.5");
    row.note = QStringLiteral("peak resident size (VmHWM) of a child process: ours writeReport as PDF; "
                              "baseline QTextDocument::print of the same HTML to a PDF QPrinter");
    return row;
}

} // namespace bench
