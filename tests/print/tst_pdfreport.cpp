#include "files.h"
#include "harness.h"
#include "pdftext.h"
#include "testmain.h"
#include "trickytexts.h"

#include "app/std11.h"
#include "print/printcommand.h"
#include "print/printsurfaceqt.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace brevant;
using namespace brevant::test;

namespace {

const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf");

// Plain prose long enough to run over several pages.
QString longProse(int words)
{
    static const QStringList vocabulary = {
        QStringLiteral("department"), QStringLiteral("faculty"), QStringLiteral("meets"),
        QStringLiteral("the"), QStringLiteral("requirement"), QStringLiteral("of"),
        QStringLiteral("courses"), QStringLiteral("credits"), QStringLiteral("offered"),
        QStringLiteral("and"), QStringLiteral("a"), QStringLiteral("baccalaureate"),
        QStringLiteral("in"), QStringLiteral("architecture,"), QStringLiteral("studio.")};
    QString text;
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            text += (i % 97 == 0) ? QStringLiteral("\r\n") : QStringLiteral(" ");
        text += vocabulary.at((i * 7 + i / 5) % vocabulary.size());
    }
    return text;
}

} // namespace

// The printed report on a real PDF document, read back with poppler's tools.
// No print scheduler is reachable here, so Print offers the PDF file.
class TstPdfReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printWithoutPrinterSavesPdf();
    void textReadsBackInOrder();
    void textStaysInsidePrintableArea();
    void headingsBoldResponsesItalic();
    void unwritablePdfIsReported();
    void hardCharactersReadBack();
    void failedPdfLeavesTheEarlierFile();
    void surfaceMeasuresAndPages();

private:
    QTemporaryDir m_dir;
    QString m_pdf;
    QStringList m_responses;
};

void TstPdfReport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Keep away from the machine's own printers: no scheduler answers here.
    qputenv("CUPS_SERVER", QFile::encodeName(m_dir.filePath(QStringLiteral("no-scheduler.sock"))));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is not installed");

    for (int i = 1; i <= kItemCount; ++i)
        m_responses << QStringLiteral("Reply number %1 for this requirement.").arg(i);
    m_responses[0] = longProse(2500);
    m_responses[1] = QString();
    m_responses[2] = QStringLiteral("Line one\nLine two\r\n\r\nLine four");
    m_responses[3] = QStringLiteral("Name:\tvalue and an over-wide word ") + QString(95, u'x');
    m_responses[4] = QStringLiteral("Gr\u00fc\u00dfe, na\u00efve caf\u00e9 \u2013 \u201cquoted\u201d, bold A "
                                    "\U0001D400, the first office offer");
    m_responses[5] = QStringLiteral("  Two  blanks and a trailing blank ");
    // 120 lines, which run over a page break.
    QStringList lines;
    for (int i = 1; i <= 120; ++i)
        lines << QStringLiteral("Line %1: the first office offer was sufficient.").arg(i, 3, 10, QLatin1Char('0'));
    m_responses[6] = lines.join(u'\n');
}

void TstPdfReport::printWithoutPrinterSavesPdf()
{
    QtPrinterFactory printers;
    QCOMPARE(printers.defaultPrinter(), QString());
    Harness h({.printers = &printers});
    h.program->questionnaire().setResponses(m_responses);
    m_pdf = m_dir.filePath(QStringLiteral("report.pdf"));
    h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
        .expectSave(kPdfFilter, FileDialogOutcome::chosen(m_pdf), Overwrite::Ask)
        .expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    h.click(h.program->std11(), QStringLiteral("print"));
    VERIFY_DIALOGS(h);
    QVERIFY(QFileInfo(m_pdf).size() > 0);
}

void TstPdfReport::textReadsBackInOrder()
{
    QVERIFY2(QFileInfo::exists(m_pdf), "no report printed");
    const QString text = pdfText(m_pdf);
    QVERIFY(!text.isEmpty());
    const QString missing = firstMissingInOrder(text, reportPieces(m_responses));
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not found in order: ") + missing));
    QCOMPARE(text.count(QStringLiteral("Response")), kItemCount);
    // As typed: every character (those beyond 16 bits too), the letters a
    // ligature would join, each typed line once and whole, over the page
    // break.
    QVERIFY(text.contains(QStringLiteral("bold A \U0001D400, the first office offer")));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[\uFB00-\uFB06]"))));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\n\f]")));
    for (const QString &typed : m_responses[6].split(u'\n')) {
        QCOMPARE(text.count(typed.left(8)), 1);
        QVERIFY2(lines.contains(typed), qPrintable(typed));
    }
    const auto pageOf = [&](const QString &line) { return text.left(text.indexOf(line)).count(u'\f'); };
    QVERIFY(pageOf(QStringLiteral("Line 001")) < pageOf(QStringLiteral("Line 120")));

    const QString info = runPdfTool(QStringLiteral("pdfinfo"), {m_pdf});
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto match = pages.match(info);
    QVERIFY(match.hasMatch());
    QVERIFY2(match.captured(1).toInt() >= 3, qPrintable(info));
}

void TstPdfReport::textStaysInsidePrintableArea()
{
    QVERIFY2(QFileInfo::exists(m_pdf), "no report printed");
    const QString boxes = runPdfTool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-bbox"), m_pdf, QStringLiteral("-")});
    QVERIFY(!boxes.isEmpty());
    const QRegularExpression pageRe(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const auto page = pageRe.match(boxes);
    QVERIFY(page.hasMatch());
    const double width = page.captured(1).toDouble();
    const double height = page.captured(2).toDouble();
    const double margin = 20 / 25.4 * 72;   // 2 cm in points
    const double slack = 2;

    const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int words = 0;
    for (auto it = wordRe.globalMatch(boxes); it.hasNext();) {
        const auto w = it.next();
        ++words;
        const QString word = w.captured(5);
        QVERIFY2(w.captured(1).toDouble() >= margin - slack, qPrintable(word));
        QVERIFY2(w.captured(2).toDouble() >= margin - slack, qPrintable(word));
        QVERIFY2(w.captured(4).toDouble() <= height - margin + slack, qPrintable(word));
        // Only the one word wider than a whole line may run past the edge.
        if (!word.startsWith(QStringLiteral("xxxxxxxxxx")))
            QVERIFY2(w.captured(3).toDouble() <= width - margin + slack, qPrintable(word));
    }
    QVERIFY(words > 2500);
}

void TstPdfReport::headingsBoldResponsesItalic()
{
    QVERIFY2(QFileInfo::exists(m_pdf), "no report printed");
    const QString fonts = runPdfTool(QStringLiteral("pdffonts"), {m_pdf});
    QVERIFY(!fonts.isEmpty());
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSerif-Bold ")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSerif-Italic ")), qPrintable(fonts));
    // Never both at once: bold goes off before the italic response.
    QVERIFY2(!fonts.contains(QStringLiteral("BoldItalic")), qPrintable(fonts));
}

void TstPdfReport::unwritablePdfIsReported()
{
    QtPrinterFactory printers;
    Harness h({.printers = &printers});
    h.fillAll();

    // A folder that does not exist, and a path that is a folder.
    const QString inMissing = m_dir.filePath(QStringLiteral("missing/report.pdf"));
    const QString folder = m_dir.path();
    for (const QString &path : {inMissing, folder}) {
        h.dialogs.reset();
        h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
            .expectSave(kPdfFilter, FileDialogOutcome::chosen(path), Overwrite::Ask)
            .expectAnyMessage(QString());
        h.click(h.program->std11(), QStringLiteral("print"));
        VERIFY_DIALOGS(h);
        const QString shown = h.dialogs.shownTexts.last();
        QVERIFY2(shown.startsWith(pdfFailedText(path, QString())), qPrintable(shown));
        QVERIFY2(shown.size() > pdfFailedText(path, QString()).size(), "no reason given");
        QVERIFY(!h.dialogs.shownTexts.contains(QStringLiteral("Successfully Printed..")));
    }
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));
}

// The responses with every hard case of the writers, each on its own,
// print, and every character that shows reads back in order. (Not their
// mixtures: their long runs of letters are words wider than a line, which
// the printed report lets run past the edge of the page.)
void TstPdfReport::hardCharactersReadBack()
{
    QtPrinterFactory printers;
    Harness h({.printers = &printers});
    const QStringList responses = trickyResponses().mid(0, 17);
    h.program->questionnaire().setResponses(responses);
    const QString pdf = m_dir.filePath(QStringLiteral("hard.pdf"));
    h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
        .expectSave(kPdfFilter, FileDialogOutcome::chosen(pdf), Overwrite::Ask)
        .expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    h.click(h.program->std11(), QStringLiteral("print"));
    VERIFY_DIALOGS(h);
    const QString missing = firstMissingShown(pdfText(pdf), responses);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not read back in order: ") + missing));
}

// A PDF that cannot be written whole (here the file size this process may
// write is limited, as a full disk would cut it short) is reported, and
// the file that was there before stays as it was, with nothing beside it.
void TstPdfReport::failedPdfLeavesTheEarlierFile()
{
    QtPrinterFactory printers;
    Harness h({.printers = &printers});
    h.fillAll();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const QByteArray earlier = "the earlier file, which must survive";
    QVERIFY(writeFileBytes(pdf, earlier));
    h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
        .expectSave(kPdfFilter, FileDialogOutcome::chosen(pdf), Overwrite::Ask)
        .expectAnyMessage(QString());
    rlimit unlimited{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = unlimited;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    h.click(h.program->std11(), QStringLiteral("print"));
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    VERIFY_DIALOGS(h);
    const QString shown = h.dialogs.shownTexts.last();
    QVERIFY2(shown.startsWith(pdfFailedText(pdf, QString())), qPrintable(shown));
    QCOMPARE(fileBytes(pdf), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.pdf")});
}

void TstPdfReport::surfaceMeasuresAndPages()
{
    QtPrinterFactory printers;
    const std::unique_ptr<PrintSurface> made = printers.pdfSurface(m_dir.filePath(QStringLiteral("m.pdf")), nullptr);
    QVERIFY(made);
    PrintSurface &surface = *made;
    QVERIFY(surface.begin());
    QVERIFY(surface.printableWidth() > 0);
    QVERIFY(surface.printableHeight() > surface.printableWidth());
    const qreal line = surface.textHeight(QStringLiteral("Ag"));
    QVERIFY(line > 0);

    // A lone carriage return takes no room.
    QCOMPARE(surface.textWidth(QStringLiteral("ab\rcd")), surface.textWidth(QStringLiteral("abcd")));
    // Tabs go to the next stop: one stop holds a few characters, the same
    // stop whatever stands before it in the stop, and stops are evenly spaced.
    const qreal stop = surface.textWidth(QStringLiteral("a\t"));
    QVERIFY(stop > surface.textWidth(QStringLiteral("abc")));
    QCOMPARE(surface.textWidth(QStringLiteral("abc\t")), stop);
    QCOMPARE(surface.textWidth(QStringLiteral("\t\t")), 2 * stop);
    QVERIFY(surface.printText(QStringLiteral("a\t")));
    QCOMPARE(surface.currentX(), stop);
    QVERIFY(surface.printText(QStringLiteral("b")));
    QCOMPARE(surface.currentX(), stop + surface.textWidth(QStringLiteral("b")));

    // Widths are remembered per style: a word measured plain is measured
    // again in bold.
    const qreal plain = surface.textWidth(QStringLiteral("Requirement"));
    surface.setBold(true);
    QVERIFY(surface.textWidth(QStringLiteral("Requirement")) > plain);
    surface.setBold(false);
    QCOMPARE(surface.textWidth(QStringLiteral("Requirement")), plain);

    // A line that would reach below the printable area goes to a new page.
    QVERIFY(surface.endLine());
    QCOMPARE(surface.currentX(), 0.0);
    QCOMPARE(surface.currentY(), line);
    while (surface.currentY() + line <= surface.printableHeight()) {
        QVERIFY(surface.printText(QStringLiteral("line")));
        QVERIFY(surface.endLine());
    }
    QVERIFY(surface.currentY() > 0);
    QVERIFY(surface.printText(QStringLiteral("next page")));
    QCOMPARE(surface.currentY(), 0.0);
    QVERIFY(surface.endLine());
    QVERIFY(surface.newPage());
    QCOMPARE(surface.currentY(), 0.0);
    QVERIFY(surface.printText(QStringLiteral("third page")));
    QVERIFY(surface.endDocument());

    const QString info = runPdfTool(QStringLiteral("pdfinfo"), {m_dir.filePath(QStringLiteral("m.pdf"))});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\b"))), qPrintable(info));
    const QString text = pdfText(m_dir.filePath(QStringLiteral("m.pdf")));
    QVERIFY(text.indexOf(QStringLiteral("next page")) < text.indexOf(QStringLiteral("third page")));
    // Once ended, the surface takes no more output.
    QVERIFY(!surface.printText(QStringLiteral("late")));
}

BREVANT_TEST_MAIN(TstPdfReport)
#include "tst_pdfreport.moc"
