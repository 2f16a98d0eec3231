// The report as a PDF, read back with the tools a user's viewer stands
// for: pdftotext, pdfinfo, pdffonts and pdftoppm.
#include "reportdocumenttest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestReportDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatFollowsTheNameThenTheFileType();
    void pdfOfEachDesign_data();
    void pdfOfEachDesign();
    void pdfPageSizeAndProperties_data();
    void pdfPageSizeAndProperties();
    void pagePictureIsTheFirstPage();
};

void TestReportDocument::initTestCase()
{
    QVERIFY2(QFile::exists(builtProgramFolder() + u"/Templates/Executive_Delight.htm"_s),
             "the built program folder with its templates is needed");
    for (const QString &tool : {u"pdftotext"_s, u"pdfinfo"_s, u"pdffonts"_s, u"pdftoppm"_s, u"unzip"_s})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool + u" is needed"_s));
}

void TestReportDocument::formatFollowsTheNameThenTheFileType()
{
    // HTML first, the type the dialog opens on.
    QCOMPARE(qtFilterEntries(reportSaveFilter()),
             (QStringList{u"html Files (*.html)"_s, u"PDF Files (*.pdf)"_s, u"OpenDocument Text (*.odt)"_s,
                          u"Word Document (*.docx)"_s}));

    struct Case { const char *name; int filterIndex; ReportFormat format; };
    const Case cases[] = {
        {"report", 0, ReportFormat::Html},
        {"report", 1, ReportFormat::Pdf},
        {"report", 2, ReportFormat::Odt},
        {"report", 3, ReportFormat::Docx},
        {"Report.DOCX", 1, ReportFormat::Docx},
        {"report.odt", 3, ReportFormat::Odt},
        {"report.doc", 3, ReportFormat::Docx},    // not an extension of ours: the file type decides
        {"report.txt", 1, ReportFormat::Pdf},
        {"report.pdf", 0, ReportFormat::Pdf},
        {"REPORT.PDF", 2, ReportFormat::Pdf},
        {"report.odt", 0, ReportFormat::Odt},
        {"report.html", 1, ReportFormat::Html},
        {"report.htm", 2, ReportFormat::Html},
        {"pdf", 2, ReportFormat::Odt},            // a name, not an extension
        {"folder.pdf/report", 0, ReportFormat::Html},
    };
    for (const Case &c : cases) {
        QVERIFY2(reportFormatFor(u"/tmp/"_s + QLatin1String(c.name), c.filterIndex) == c.format,
                 qPrintable(u"%1 with file type %2"_s.arg(QLatin1String(c.name)).arg(c.filterIndex)));
    }

    QCOMPARE(pageSizeFor(QLocale(u"en_US"_s)), QPageSize::Letter);
    QCOMPARE(pageSizeFor(QLocale(u"en_GB"_s)), QPageSize::A4);
    QCOMPARE(pageSizeFor(QLocale(u"de_DE"_s)), QPageSize::A4);
    QCOMPARE(footerDate(kDate), kDateText);
}

void TestReportDocument::pdfOfEachDesign_data()
{
    QTest::addColumn<int>("design");
    for (int i = 0; i < reportDesigns().size(); ++i)
        QTest::newRow(qPrintable(reportDesigns().at(i).option)) << i;
}

// Each design's PDF: every heading and response in order, the characters
// outside the code page kept, the footer on every page, and its first page
// in the design's colours (the picture stays in the build folder).
void TestReportDocument::pdfOfEachDesign()
{
    QFETCH(int, design);
    const ReportDesign &d = reportDesigns().at(design);
    const QStringList responses = testResponses();
    // Kept in the build folder with the picture of its first page.
    const QString pdf = picturesFolder() + u"/report-"_s + d.option + u".pdf"_s;
    QString error;
    QVERIFY2(writeReport(ReportFormat::Pdf, templatePath(d), pdf, responses, options(), &error),
             qPrintable(error));
    QVERIFY(fileBytes(pdf).startsWith("%PDF-"));
    // The page it was made from, to compare.
    QVERIFY(writeFileBytes(picturesFolder() + u"/report-"_s + d.option + u".html"_s, reportHtml(d, responses)));

    // Ligatures ("ff") as their letters, as a viewer's search takes them.
    const QString text = pdfText(pdf).normalized(QString::NormalizationForm_KC);
    QVERIFY(!text.isEmpty());
    QStringList pages = text.split(u'\f');
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    QVERIFY2(pages.size() >= 3, qPrintable(u"%1 pages"_s.arg(pages.size())));
    for (int p = 1; p <= pages.size(); ++p) {
        const QString &page = pages.at(p - 1);
        QVERIFY2(page.contains(u"Page %1 of %2"_s.arg(p).arg(pages.size())),
                 qPrintable(u"page %1 has no page number"_s.arg(p)));
        QVERIFY2(page.contains(kDateText), qPrintable(u"page %1 has no date"_s.arg(p)));
    }

    const QString body = bodyText(pages);
    QVERIFY(body.contains(u"Curriculum Policy Report"_s));
    // (A character beyond the 16-bit range is drawn where a font has it; none
    // here has U+1D400, so the PDF is not asked for it. The ODT keeps it.)
    QStringList drawable = responses;
    drawable[4].remove(u"\U0001D400"_s);
    const QString missing = firstMissingPiece(body, drawable);
    QVERIFY2(missing.isEmpty(), qPrintable(u"not in order: "_s + missing));
    QVERIFY(body.contains(u"<b>not bold</b> & \"quoted\""_s));
    QVERIFY(body.contains(u"\u03A9\u03BC\u03B5\u03B3\u03B1"_s));
    QVERIFY(body.contains(u"\u0416\u0443\u043A"_s));
    QVERIFY(body.contains(u"euro \u20AC, dash \u2013"_s));
    // The line breaks typed: the lines stand apart.
    QVERIFY(body.contains(QRegularExpression(u"\"quoted\"\\s*\\n\\s*second line of three\\s*\\n\\s*third line"_s)));

    // The first page as a viewer shows it.
    const QString prefix = picturesFolder() + u"/report-pdf-"_s + d.option;
    QFile::remove(prefix + u".png"_s);
    runPdfTool(u"pdftoppm"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s,
                               pdf, prefix});
    const QImage page1(prefix + u".png"_s);
    QVERIFY2(!page1.isNull(), qPrintable(prefix));
    QVERIFY2(pixelsOfColour(page1, mastheadColour(d.option)) > page1.width() * 10,
             "the design's masthead is not on the first page");
    // The margins of 2 cm stay white: the top left corner at 80 dpi.
    QCOMPARE(page1.pixelColor(20, 20), QColor(Qt::white));
}

void TestReportDocument::pdfPageSizeAndProperties_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("size");
    QTest::newRow("US customary: Letter") << u"en_US"_s << u"612 x 792 pts (letter)"_s;
    QTest::newRow("metric: A4") << u"fr_FR"_s << u"(A4)"_s;
}

void TestReportDocument::pdfPageSizeAndProperties()
{
    QFETCH(QString, locale);
    QFETCH(QString, size);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"report.pdf"_s);
    QFile out(pdf);
    QVERIFY(out.open(QIODevice::WriteOnly));
    DocumentOptions o = options();
    o.locale = QLocale(locale);
    QVERIFY(writeReportPdf(out, reportOn(reportDesigns().at(1), testResponses()), o, nullptr));
    out.close();

    const QString info = runPdfTool(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(size), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Title:\\s+Curriculum Policy Report\\n"_s)), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Creator:\\s+Brevant Policies\\n"_s)), qPrintable(info));
    // Every font is embedded: the page looks the same on any computer.
    const QStringList embedded = embeddedColumn(runPdfTool(u"pdffonts"_s, {pdf}));
    QVERIFY(!embedded.isEmpty());
    QCOMPARE(embedded.count(u"yes"_s), embedded.size());
}

// The ODT: a zip of the OpenDocument kind whose content holds every
// heading and response in order as text, the line breaks as line breaks,
// the markup typed as literal text.
void TestReportDocument::pagePictureIsTheFirstPage()
{
    for (const ReportDesign &d : reportDesigns()) {
        const Report report = reportOn(d, exampleResponses());
        const QImage picture = reportPagePicture(report, options(), 0, 600);
        QCOMPARE(picture.width(), 600);
        QCOMPARE(picture.height(), qRound(600 * 297.0 / 210));   // A4
        QVERIFY(picture.save(picturesFolder() + u"/report-picture-"_s + d.option + u".png"_s));
        QVERIFY2(pixelsOfColour(picture, mastheadColour(d.option)) > 600 * 10, qPrintable(d.option));
        QCOMPARE(picture.pixelColor(5, 5), QColor(Qt::white));
        QVERIFY(reportPagePicture(report, options(), 1, 600).height() > 0);
        QVERIFY(reportPagePicture(report, options(), 99, 600).isNull());
    }
}

BREVANT_TEST_MAIN(TestReportDocument)
#include "tst_reportdocument.moc"
