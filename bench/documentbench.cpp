// The report as a PDF, an OpenDocument Text file and a Word document,
// through the template window's Save: the tagged PDF against Qt's own
// QTextDocument::print of the same HTML report (time, and peak memory in
// documentmemory.cpp) and against a word processor exporting the report's
// ODT as PDF/UA; the ODT against the Word document; the ODT and the Word
// document against a word processor converting the HTML report.

#include "benches.h"
#include "inputs.h"

#include "app/program.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "harness.h"
#include "io/codepage.h"
#include "report/templateselect.h"

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

// The word processor converting a file to the format given (the name of
// the result's ending, then the filter and its options), importing it as
// the filter named (none: as its type says).
double convertWithPeer(const Settings &settings, const QString &input, const QString &ending,
                       const QString &format, const QString &importFilter, const QString &profile)
{
    QProcess process;
    process.setProgram(settings.soffice);
    QStringList arguments = {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                             QStringLiteral("--headless")};
    if (!importFilter.isEmpty())
        arguments << QStringLiteral("--infilter=") + importFilter;
    arguments << QStringLiteral("--convert-to") << format << QStringLiteral("--outdir")
              << settings.workFolder + QStringLiteral("/peer") << input;
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const double ms = timeMs([&] {
        process.start();
        if (!process.waitForFinished(1800000))
            process.kill();
    });
    const QString out = settings.workFolder + QStringLiteral("/peer/") + QFileInfo(input).completeBaseName()
        + QLatin1Char('.') + ending;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo::exists(out))
        fail(QStringLiteral("the peer converter failed: ") + QString::fromLocal8Bit(process.readAll()));
    checkStart(out, ending == QLatin1String("pdf") ? "%PDF-" : "PK", QStringLiteral("the peer converter"));
    QFile::remove(out);
    return ms;
}

// How the word processor is asked for each row.
struct PeerConversion {
    QString figure;
    QString input;          // the file it converts
    QString ending;         // of the result
    QString format;         // --convert-to
    QString importFilter;   // --infilter, or none
    double goal;
    QString goalText;
    QString note;
};

Row peerRow(const Settings &settings, const PeerConversion &peer, const QList<double> &ours)
{
    Row row;
    row.figure = peer.figure;
    row.unit = QStringLiteral("ms");
    row.goal = peer.goal;
    row.goalText = peer.goalText;
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
    convertWithPeer(settings, setUp, QStringLiteral("odt"), QStringLiteral("odt"),
                    QStringLiteral("HTML (StarWriter)"), profile);
    // Few runs: each takes minutes.
    const int runs = qMin(3, settings.runs);
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times << convertWithPeer(settings, peer.input, peer.ending, peer.format, peer.importFilter, profile);
    row.ours = median(ours);
    row.baseline = median(times);
    row.runs = runs;
    row.note = peer.note.arg(QFileInfo(settings.soffice).fileName());
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

    // The ODT against the Word document, written the same way from the
    // same report.
    QList<double> odtRuns;
    QList<double> docxRuns;
    const Medians odtWord = alternate(
        settings.runs,
        [&] {
            const double ms = save.run(odt, kOdtFileType);
            odtRuns << ms;
            return ms;
        },
        [&] {
            const double ms = save.run(docx, kDocxFileType);
            docxRuns << ms;
            return ms;
        });
    Row odtRow;
    odtRow.figure = QStringLiteral("ODT report vs Word (27 x 40 KiB)");
    odtRow.unit = QStringLiteral("ms");
    odtRow.ours = odtWord.ours;
    odtRow.baseline = odtWord.baseline;
    odtRow.runs = settings.runs;
    odtRow.goal = 1.2;
    odtRow.goalText = QStringLiteral("<= 1.2");
    odtRow.note = QStringLiteral("ours: the template window's Save as ODT; baseline: the same as DOCX");

    QList<Row> rows{pdfRow, documentMemoryRow(settings), odtRow};
    const QString htmlFile = settings.workFolder + QStringLiteral("/peer-report.html");
    if (!brevant::test::writeFileBytes(htmlFile, htmlBytes))
        fail(QStringLiteral("cannot write ") + htmlFile);
    // The ODT the Save wrote, which the word processor exports as PDF/UA.
    const QString odtFile = settings.workFolder + QStringLiteral("/peer-report.odt");
    if (!QFile::copy(odt, odtFile))
        fail(QStringLiteral("cannot copy the ODT to ") + odtFile);
    rows << peerRow(settings,
                    {QStringLiteral("Peer: tagged PDF report vs word processor's PDF/UA (27 x 40 KiB)"), odtFile,
                     QStringLiteral("pdf"),
                     QStringLiteral("pdf:writer_pdf_Export:{\"PDFUACompliance\":{\"type\":\"boolean\","
                                    "\"value\":\"true\"}}"),
                     QString(), 0.2, QStringLiteral("<= 0.2"),
                     QStringLiteral("ours: the template window's Save as PDF; baseline: %1 --headless "
                                    "--convert-to pdf (writer_pdf_Export, PDFUACompliance) of the report's ODT")},
                    pdfRuns);
    rows << peerRow(settings,
                    {QStringLiteral("Peer: ODT report vs word processor (27 x 40 KiB)"), htmlFile,
                     QStringLiteral("odt"), QStringLiteral("odt"), QStringLiteral("HTML (StarWriter)"), 1.0 / 3.0,
                     QStringLiteral("<= 0.33"),
                     QStringLiteral("ours: the template window's Save as ODT; baseline: %1 --headless "
                                    "--convert-to odt of the same HTML report")},
                    odtRuns);
    rows << peerRow(settings,
                    {QStringLiteral("Peer: DOCX report vs word processor (27 x 40 KiB)"), htmlFile,
                     QStringLiteral("docx"), QStringLiteral("docx"), QStringLiteral("HTML (StarWriter)"), 0.1,
                     QStringLiteral("<= 0.1"),
                     QStringLiteral("ours: the template window's Save as DOCX; baseline: %1 --headless "
                                    "--convert-to docx of the same HTML report")},
                    docxRuns);
    return rows;
}

} // namespace bench
