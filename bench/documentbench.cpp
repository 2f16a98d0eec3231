// The report as a PDF, an OpenDocument Text file and a Word document,
// through the template window's Save: the PDF against Qt's own
// QTextDocument::print of the same HTML report, the Word document against
// the ODT, and each against a word processor converting that HTML report.

#include "benches.h"
#include "inputs.h"

#include "app/program.h"
#include "files.h"
#include "harness.h"
#include "report/htmlreport.h"
#include "report/reportwriters.h"
#include "report/templateselect.h"
#include "io/codepage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace bench {

namespace {

using brevant::FileDialogOutcome;
using brevant::test::Harness;

constexpr qsizetype kResponseSize = 40 * 1024;
constexpr int kPdfFileType = 1;
constexpr int kOdtFileType = 2;
constexpr int kDocxFileType = 3;

void checkStart(const QString &path, const QByteArray &start, const QString &who)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(start.size()).startsWith(start))
        fail(who + QStringLiteral(" wrote no document at ") + path);
}

// The template window's Save until "Successfully Saved..." comes up; the
// shell's opening of the file (a fake here) is not timed.
class DocumentSave {
public:
    explicit DocumentSave(const Settings &settings)
        : m_h(brevant::test::HarnessOptions{.programFolder = settings.programFolder})
    {
        m_h.program->questionnaire().setResponses(responses(kResponseSize));
        m_window = m_h.program->templateSelect();
        m_window->findChild<QRadioButton *>(QStringLiteral("OM"))->setChecked(true);
    }

    double run(const QString &path, int fileType)
    {
        QElapsedTimer timer;
        double ms = 0;
        int dialogs = 0;
        m_h.dialogs.onDialog = [&] {
            if (++dialogs == 2)
                ms = double(timer.nsecsElapsed()) / 1e6;
        };
        m_h.dialogs.expectSave(brevant::reportSaveFilter(), FileDialogOutcome::chosen(path, fileType))
            .expectMessage(QStringLiteral("Successfully Saved..."), QStringLiteral("Saving"));
        timer.start();
        m_window->Save_Click();
        m_h.dialogs.onDialog = nullptr;
        if (!m_h.problems().isEmpty())
            fail(QStringLiteral("the document Save did not run as expected: ") + m_h.problems());
        checkStart(path, fileType == kPdfFileType ? "%PDF-" : "PK", QStringLiteral("Save"));
        return ms;
    }

    // The HTML report of the same responses on the same design.
    QByteArray html() const
    {
        return brevant::reportBytes(
            brevant::test::fileBytes(m_h.program->programPath(QStringLiteral("/Templates/Orange_Madness.htm"))),
            m_h.program->questionnaire().responses());
    }

private:
    Harness m_h;
    brevant::TemplateSelect *m_window = nullptr;
};

QString decoded(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes)
        text += QChar(brevant::cp1252::toUnicode(static_cast<unsigned char>(b)));
    return text;
}

// Qt's own way: the same HTML into a QTextDocument, printed to a PDF
// printer. QTextDocument::print puts its 2 cm margins inside the printer's
// page, so the printer itself gets none, as for the program's pages.
double printWithTextDocument(const QString &html, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return timeMs([&] {
        QTextDocument doc;
        doc.setHtml(html);
        doc.print(&printer);
    });
}

// The word processor converting the HTML report, imported as a text
// document, to the format given.
double convertWithPeer(const Settings &settings, const QString &htmlFile, const QString &format,
                       const QString &profile)
{
    QProcess process;
    process.setProgram(settings.soffice);
    process.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--infilter=HTML (StarWriter)"),
                          QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"),
                          settings.workFolder + QStringLiteral("/peer"), htmlFile});
    process.setProcessChannelMode(QProcess::MergedChannels);
    const double ms = timeMs([&] {
        process.start();
        if (!process.waitForFinished(600000))
            process.kill();
    });
    const QString out = settings.workFolder + QStringLiteral("/peer/") + QFileInfo(htmlFile).completeBaseName()
        + QLatin1Char('.') + format;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo::exists(out))
        fail(QStringLiteral("the peer converter failed: ") + QString::fromLocal8Bit(process.readAll()));
    checkStart(out, format == QLatin1String("pdf") ? "%PDF-" : "PK", QStringLiteral("the peer converter"));
    QFile::remove(out);
    return ms;
}

// goal: the most ours may take of the word processor's time.
Row peerRow(const Settings &settings, const QString &format, const QList<double> &ours,
            const QString &htmlFile, double goal)
{
    Row row;
    row.figure = QStringLiteral("Peer: %1 report vs word processor (27 x 40 KiB)").arg(format.toUpper());
    row.unit = QStringLiteral("ms");
    row.goal = goal;
    row.goalText = QStringLiteral("<= %1").arg(goal, 0, 'g', 2);
    if (settings.soffice.isEmpty()) {
        row.skipped = true;
        row.note = QStringLiteral("skipped: soffice not found (Debian libreoffice-writer-nogui)");
        return row;
    }
    const QString profile = settings.workFolder + QStringLiteral("/peer-profile");
    // The first run sets up the converter's profile; it converts a short
    // page and is not counted.
    const QString setUp = settings.workFolder + QStringLiteral("/peer-set-up.html");
    if (!brevant::test::writeFileBytes(setUp, "<html><body><p>Set-up</p></body></html>\r\n"))
        fail(QStringLiteral("cannot write ") + setUp);
    convertWithPeer(settings, setUp, format, profile);
    // Few runs: each takes minutes.
    const int runs = qMin(3, settings.runs);
    QList<double> peer;
    for (int i = 0; i < runs; ++i)
        peer << convertWithPeer(settings, htmlFile, format, profile);
    row.ours = median(ours);
    row.baseline = median(peer);
    row.runs = runs;
    row.note = QStringLiteral("ours: the template window's Save as %1; baseline: %2 --headless "
                              "--convert-to %3 of the same HTML report")
                   .arg(format.toUpper(), QFileInfo(settings.soffice).fileName(), format);
    return row;
}

} // namespace

QList<Row> documentRows(const Settings &settings)
{
    DocumentSave save(settings);
    const QString pdf = settings.workFolder + QStringLiteral("/report.pdf");
    const QString odt = settings.workFolder + QStringLiteral("/report.odt");
    const QString docx = settings.workFolder + QStringLiteral("/report.docx");
    const QString basePdf = settings.workFolder + QStringLiteral("/printed.pdf");
    const QByteArray htmlBytes = save.html();
    const QString html = decoded(htmlBytes);

    QList<double> pdfRuns;
    const Medians m = alternate(
        settings.runs,
        [&] {
            const double ms = save.run(pdf, kPdfFileType);
            pdfRuns << ms;
            return ms;
        },
        [&] {
            const double ms = printWithTextDocument(html, basePdf);
            checkStart(basePdf, "%PDF-", QStringLiteral("QTextDocument::print"));
            return ms;
        });
    Row pdfRow;
    pdfRow.figure = QStringLiteral("PDF report (27 x 40 KiB)");
    pdfRow.unit = QStringLiteral("ms");
    pdfRow.ours = m.ours;
    pdfRow.baseline = m.baseline;
    pdfRow.runs = settings.runs;
    pdfRow.goal = 1.1;
    pdfRow.goalText = QStringLiteral("<= 1.1");
    pdfRow.note = QStringLiteral("baseline: QTextDocument::setHtml and print of the same HTML to a PDF QPrinter");

    // The Word document against the ODT, which Qt's writer makes with no
    // layout either.
    QList<double> odtRuns;
    QList<double> docxRuns;
    const Medians word = alternate(
        settings.runs,
        [&] {
            const double ms = save.run(docx, kDocxFileType);
            docxRuns << ms;
            return ms;
        },
        [&] {
            const double ms = save.run(odt, kOdtFileType);
            odtRuns << ms;
            return ms;
        });
    Row wordRow;
    wordRow.figure = QStringLiteral("Word report vs ODT (27 x 40 KiB)");
    wordRow.unit = QStringLiteral("ms");
    wordRow.ours = word.ours;
    wordRow.baseline = word.baseline;
    wordRow.runs = settings.runs;
    wordRow.recordOnly = true;
    wordRow.goalText = QStringLiteral("record");
    wordRow.note = QStringLiteral("ours: the template window's Save as DOCX; baseline: the same as ODT");

    QList<Row> rows{pdfRow, wordRow};
    const QString htmlFile = settings.workFolder + QStringLiteral("/peer-report.html");
    if (!brevant::test::writeFileBytes(htmlFile, htmlBytes))
        fail(QStringLiteral("cannot write ") + htmlFile);
    rows << peerRow(settings, QStringLiteral("pdf"), pdfRuns, htmlFile, 1.0 / 3.0);
    rows << peerRow(settings, QStringLiteral("odt"), odtRuns, htmlFile, 1.0 / 3.0);
    rows << peerRow(settings, QStringLiteral("docx"), docxRuns, htmlFile, 0.1);
    return rows;
}

} // namespace bench
