// The printed report to a PDF file: the program's Print command against
// Qt's own text layout printing the same text; WrapLine alone over growing
// texts; and a word processor converting the same text, for comparison.

#include "benches.h"
#include "inputs.h"

#include "app/program.h"
#include "app/std11.h"
#include "core/catalogue.h"
#include "document/wrapline.h"
#include "harness.h"
#include "print/printcommand.h"
#include "print/printsurfaceqt.h"

#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace bench {

namespace {

using brevant::Answer;
using brevant::Buttons;
using brevant::FileDialogOutcome;
using brevant::Icon;
using brevant::kItemCount;
using brevant::test::Harness;

constexpr qsizetype kResponseSize = 40 * 1024;
constexpr qsizetype kScalingUnit = 64 * 1024;

// No printer set up: Print offers the PDF file, and the surface is the
// program's own PDF surface.
class PdfOnlyPrinters : public brevant::PrinterFactory {
public:
    QString defaultPrinter() const override { return QString(); }
    std::unique_ptr<brevant::PrintSurface> printerSurface(const QString &) override { return nullptr; }
    std::unique_ptr<brevant::PrintSurface> pdfSurface(const QString &path, QString *error) override
    {
        return m_qt.pdfSurface(path, error);
    }

private:
    brevant::QtPrinterFactory m_qt;
};

void checkPdf(const QString &path, const QString &who)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(5).startsWith("%PDF-"))
        fail(who + QStringLiteral(" wrote no PDF file at ") + path);
}

// The report as a text document: headings and "Response" bold, the response
// italic, then an empty plain line, in the report font.
std::unique_ptr<QTextDocument> reportDocument(const QStringList &texts)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(brevant::PainterSurface::reportFont());
    doc->setDocumentMargin(0);
    QTextCursor cursor(doc.get());
    QTextCharFormat bold, italic, plain;
    bold.setFontWeight(QFont::Bold);
    italic.setFontItalic(true);
    const brevant::QuestionnaireCatalogue &catalogue = brevant::QuestionnaireCatalogue::instance();
    bool first = true;
    const auto line = [&](const QString &text, const QTextCharFormat &format) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), format);
        first = false;
        cursor.insertText(text, format);
    };
    for (int i = 1; i <= kItemCount; ++i) {
        for (const QString &heading : catalogue.headingTexts(i))
            line(heading, bold);
        line(QStringLiteral("Response"), bold);
        line(texts.at(i - 1), italic);
        line(QString(), plain);
    }
    return doc;
}

// QTextDocument::print puts 2 cm margins inside the printer's page rect, so
// the printer itself gets none: the text area is the program's.
double printWithTextDocument(const QTextDocument &doc, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return timeMs([&] { doc.print(&printer); });
}

} // namespace

Row printRow(const Settings &settings, QList<double> *oursRuns)
{
    const QStringList texts = responses(kResponseSize);
    const QString path = settings.workFolder + QStringLiteral("/report.pdf");
    const QString basePath = settings.workFolder + QStringLiteral("/plain.pdf");
    PdfOnlyPrinters printers;
    Harness h({.programFolder = settings.programFolder, .printers = &printers});
    h.program->questionnaire().setResponses(texts);
    brevant::Std11 *window = h.program->std11();
    const std::unique_ptr<QTextDocument> doc = reportDocument(texts);

    const Medians m = alternate(
        settings.runs,
        [&] {
            h.dialogs
                .expectMessage(brevant::noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
                .expectSave(QStringLiteral("PDF Files (*.pdf)|*.pdf"), FileDialogOutcome::chosen(path),
                            brevant::Overwrite::Ask)
                .expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
            const double ms = timeMs([&] { window->print_Click(); });
            if (!h.problems().isEmpty())
                fail(QStringLiteral("Print did not run as expected: ") + h.problems());
            checkPdf(path, QStringLiteral("Print"));
            *oursRuns << ms;
            return ms;
        },
        [&] {
            const double ms = printWithTextDocument(*doc, basePath);
            checkPdf(basePath, QStringLiteral("QTextDocument::print"));
            return ms;
        });
    Row row;
    row.figure = QStringLiteral("Printed report to PDF (27 x 40 KiB)");
    row.unit = QStringLiteral("ms");
    row.ours = m.ours;
    row.baseline = m.baseline;
    row.runs = settings.runs;
    row.goal = 1.0;
    row.goalText = QStringLiteral("<= 1.0");
    return row;
}

namespace {

// WrapLine alone over one text on a fresh PDF surface, the one Print uses.
double wrapOnce(const QString &text, const QString &path)
{
    const std::unique_ptr<brevant::PrintSurface> surface = brevant::QtPrinterFactory().pdfSurface(path, nullptr);
    if (!surface || !surface->begin())
        fail(QStringLiteral("the PDF surface did not start: ") + (surface ? surface->errorString() : QString()));
    bool ok = true;
    const double ms = timeMs([&] { ok = brevant::WrapLine(*surface, text); });
    if (!ok || !surface->endDocument())
        fail(QStringLiteral("WrapLine failed: ") + surface->errorString());
    return ms;
}

} // namespace

QList<Row> scalingRows(const Settings &settings)
{
    const QString path = settings.workFolder + QStringLiteral("/wrap.pdf");
    const QString base = prose(kScalingUnit, 17);
    QList<double> one;
    QList<Row> rows;
    for (int factor : {4, 16}) {
        const QString text = prose(kScalingUnit * factor, 17);
        QList<double> many;
        for (int i = 0; i < settings.runs; ++i) {
            one << wrapOnce(base, path);
            many << wrapOnce(text, path);
        }
        Row row;
        row.figure = QStringLiteral("Scaling: WrapLine %1x (%2 KiB)").arg(factor).arg(factor * kScalingUnit / 1024);
        row.unit = QStringLiteral("ms");
        row.ours = median(many);
        row.baseline = median(one);
        row.runs = settings.runs;
        // The goal is for 16 times the text; 4 times is a point on the way.
        row.goal = 18;
        row.recordOnly = factor != 16;
        row.goalText = row.recordOnly ? QStringLiteral("record") : QStringLiteral("<= 18");
        rows << row;
    }
    return rows;
}

namespace {

double convertWithPeer(const Settings &settings, const QString &textFile, const QString &profile)
{
    QProcess process;
    process.setProgram(settings.soffice);
    process.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--infilter=Text (encoded):UTF8"),
                          QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                          settings.workFolder, textFile});
    process.setProcessChannelMode(QProcess::MergedChannels);
    const double ms = timeMs([&] {
        process.start();
        if (!process.waitForFinished(300000))
            process.kill();
    });
    const QString pdf = settings.workFolder + QLatin1Char('/') + QFileInfo(textFile).completeBaseName()
        + QStringLiteral(".pdf");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo::exists(pdf))
        fail(QStringLiteral("the peer converter failed: ") + QString::fromLocal8Bit(process.readAll()));
    QFile::remove(pdf);
    return ms;
}

} // namespace

Row peerRow(const Settings &settings, const QList<double> &oursRuns)
{
    const QStringList texts = responses(kResponseSize);
    Row row;
    row.figure = QStringLiteral("Peer: printed report vs word processor");
    row.unit = QStringLiteral("ms");
    row.aimOnly = true;
    row.goal = 1.0 / 3.0;
    row.goalText = QStringLiteral("aim <= 0.33");
    if (settings.soffice.isEmpty()) {
        row.skipped = true;
        row.note = QStringLiteral("skipped: soffice not found (Debian libreoffice-writer-nogui)");
        return row;
    }
    const QString textFile = settings.workFolder + QStringLiteral("/peer-report.txt");
    QFile file(textFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(reportText(texts).toUtf8()) < 0)
        fail(QStringLiteral("cannot write ") + textFile);
    file.close();
    const QString profile = settings.workFolder + QStringLiteral("/peer-profile");
    // The first run sets up the converter's profile; it is not counted.
    convertWithPeer(settings, textFile, profile);
    // A few runs: each takes seconds.
    const int runs = 3;
    QList<double> peer;
    for (int i = 0; i < runs; ++i)
        peer << convertWithPeer(settings, textFile, profile);
    row.ours = median(oursRuns);
    row.baseline = median(peer);
    row.runs = runs;
    row.note = QStringLiteral("ours: the Print command's PDF, as in the printed-report row; "
                              "baseline: %1 --headless --convert-to pdf of the same report as plain text")
                   .arg(QFileInfo(settings.soffice).fileName());
    return row;
}

} // namespace bench
