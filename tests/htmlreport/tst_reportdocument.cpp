// The report as a PDF and as an OpenDocument Text file, read back with the
// tools a user's viewer and word processor stand for: pdftotext, pdfinfo,
// pdffonts and pdftoppm over the PDF, the ODT's content.xml out of its zip.

#include "pdftext.h"
#include "failingdevice.h"
#include "files.h"
#include "testmain.h"
#include "questionnaire/catalogue.h"
#include "report/htmlreport.h"
#include "report/reportdocument.h"
#include "ui/filedialog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QDate kDate(2026, 12, 8);
const QString kDateText = u"8 December 2026"_s;

// Numbered responses of some length, so the report runs over many pages,
// with the hard cases among them: markup typed by the user, a line break,
// characters the code page cannot hold (Greek, Cyrillic, a surrogate
// pair) and some it can (euro sign, dash).
QStringList testResponses()
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i) {
        QString text = u"Response %1 begins here."_s.arg(i);
        for (int s = 1; s <= 12; ++s)
            text += u" Sentence %1 of response %2 tells how the department meets it."_s.arg(s).arg(i);
        texts << text;
    }
    texts[2] = u"<b>not bold</b> & \"quoted\"\nsecond line of three\nthird line"_s;
    texts[4] = u"Greek \u03A9\u03BC\u03B5\u03B3\u03B1, Cyrillic \u0416\u0443\u043A, euro \u20AC, dash \u2013, "
               "bold A \U0001D400 end"_s;
    texts[26] = u"The last response."_s;
    return texts;
}

QString templatePath(const ReportDesign &design)
{
    return builtProgramFolder() + design.templatePath;
}

QByteArray reportHtml(const ReportDesign &design, const QStringList &responses)
{
    return reportBytes(fileBytes(templatePath(design)), responses);
}

DocumentOptions options(const char *locale = "de_DE")
{
    DocumentOptions o;
    o.locale = QLocale(QString::fromLatin1(locale));
    o.date = kDate;
    return o;
}

// Where the pictures of the pages are kept for a person to look at.
QString picturesFolder()
{
    const QString folder = QFile::decodeName(BREVANT_TEST_PICTURES_DIR);
    QDir().mkpath(folder);
    return folder;
}

// The pixels of a picture within a small distance of a colour.
int pixelsOfColour(const QImage &image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green())
                    + qAbs(c.blue() - colour.blue()) < 24)
                ++n;
        }
    }
    return n;
}

// The masthead colour of each design.
QColor mastheadColour(const QString &option)
{
    if (option == u"ED"_s)
        return QColor(0x1b, 0x2a, 0x49);
    if (option == u"OM"_s)
        return QColor(0xe8, 0x59, 0x0c);
    return QColor(0x2f, 0x5d, 0x3a);
}

// The text of an ODT's content.xml as a word processor reads it: runs of
// white space in the XML as one blank, <text:tab/> as a tab and
// <text:line-break/> as '\n' (the blanks and tabs around a line break
// dropped), paragraphs and cells ended by a blank, every other tag
// dropped, the entities resolved.
QString odtText(const QString &contentXml)
{
    QString text = contentXml;
    text.replace(QRegularExpression(u"[ \t\r\n]+"_s), u" "_s);
    text.replace(u"<text:tab/>"_s, u"\t"_s);
    text.replace(u"<text:line-break/>"_s, u"\n"_s);
    text.replace(QRegularExpression(u"</text:(p|h)>"_s), u" "_s);
    text.remove(QRegularExpression(u"<[^>]*>"_s));
    text.replace(QRegularExpression(u"[ \t]*\n[ \t]*"_s), u"\n"_s);
    text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s)
        .replace(u"&apos;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
    return text;
}

// The report's pieces in order, compared without regard to case (a design
// may set its headings in capitals), to white space (a line may wrap after
// a slash, where the text has no blank) or to hyphens (pdftotext joins a
// word wrapped at its hyphen without it).
QString firstMissingPiece(const QString &text, const QStringList &responses)
{
    static const QRegularExpression space(u"[\\s-]+"_s);
    QStringList pieces = reportPieces(responses);
    for (QString &piece : pieces)
        piece = piece.toLower().remove(space);
    return firstMissingInOrder(text.toLower().remove(space), pieces);
}

// The text of the pages without their footers. Qt's text engine also
// draws, clipped away, the last line of the page before above a page's
// first line when a paragraph runs over the page break; pdftotext reads it
// all the same, so it is left out here.
QString bodyText(const QStringList &pages)
{
    static const QRegularExpression footer(u"^(Page \\d+ of \\d+|\\d+ \\w+ \\d{4})$"_s);
    QStringList kept;
    QString lastLine;
    for (int p = 0; p < pages.size(); ++p) {
        bool first = true;
        for (const QString &line : pages.at(p).split(u'\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.isEmpty() || footer.match(trimmed).hasMatch())
                continue;
            if (first && p > 0 && trimmed == lastLine) {
                first = false;
                continue;
            }
            first = false;
            kept << line;
            lastLine = trimmed;
        }
    }
    return kept.join(u'\n');
}

QString unzipped(const QString &zip, const QString &member)
{
    return runPdfTool(u"unzip"_s, {u"-p"_s, zip, member});
}

// The "emb" column of pdffonts for every font of the file.
QStringList embeddedColumn(const QString &fontList)
{
    const QStringList lines = fontList.split(u'\n');
    QStringList column;
    if (lines.size() < 2)
        return column;
    const qsizetype at = lines.at(0).indexOf(u"emb"_s);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            column << lines.at(i).mid(at, 3).trimmed();
    }
    return column;
}

} // namespace

class TestReportDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatFollowsTheNameThenTheFileType();
    void pdfOfEachDesign_data();
    void pdfOfEachDesign();
    void pdfPageSizeAndProperties_data();
    void pdfPageSizeAndProperties();
    void odtHoldsTheResponsesAsText();
    void pagePictureIsTheFirstPage();
    void writersStopAtAFailingDevice();
    void failuresLeaveTheEarlierFile_data();
    void failuresLeaveTheEarlierFile();
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
             (QStringList{u"html Files (*.html)"_s, u"PDF Files (*.pdf)"_s, u"OpenDocument Text (*.odt)"_s}));

    struct Case { const char *name; int filterIndex; ReportFormat format; };
    const Case cases[] = {
        {"report", 0, ReportFormat::Html},
        {"report", 1, ReportFormat::Pdf},
        {"report", 2, ReportFormat::Odt},
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
    QVERIFY2(writeReportDocument(ReportFormat::Pdf, templatePath(d), pdf, responses, options(), &error),
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
    QVERIFY(writeReportPdf(out, reportHtml(reportDesigns().at(1), testResponses()), o));
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
void TestReportDocument::odtHoldsTheResponsesAsText()
{
    const QStringList responses = testResponses();
    const QString odt = picturesFolder() + u"/report.odt"_s;
    QString error;
    QVERIFY2(writeReportDocument(ReportFormat::Odt, templatePath(reportDesigns().at(0)), odt, responses,
                                 options(), &error),
             qPrintable(error));
    QVERIFY(fileBytes(odt).startsWith("PK"));
    QCOMPARE(unzipped(odt, u"mimetype"_s), u"application/vnd.oasis.opendocument.text"_s);
    const QString content = unzipped(odt, u"content.xml"_s);
    QVERIFY(content.startsWith(u"<?xml"_s));

    const QString text = odtText(content);
    const QString missing = firstMissingPiece(text, responses);
    QVERIFY2(missing.isEmpty(), qPrintable(u"not in order: "_s + missing));
    QVERIFY(text.contains(u"Curriculum Policy Report"_s));
    QVERIFY2(content.contains(u"&lt;b&gt;not bold&lt;/b&gt; &amp; "_s), qPrintable(content.left(4000)));
    QVERIFY(text.contains(u"<b>not bold</b> & \"quoted\"\nsecond line of three\nthird line"_s));
    QVERIFY(text.contains(u"Greek \u03A9\u03BC\u03B5\u03B3\u03B1, Cyrillic \u0416\u0443\u043A, euro \u20AC, "
                          "dash \u2013, bold A \U0001D400 end"_s));
    // The responses are the document's own text, not a picture of it.
    QVERIFY(!content.contains(u"draw:image"_s));
}

void TestReportDocument::pagePictureIsTheFirstPage()
{
    for (const ReportDesign &d : reportDesigns()) {
        const QByteArray html = reportHtml(d, exampleResponses());
        const QImage picture = reportPagePicture(html, options(), 0, 600);
        QCOMPARE(picture.width(), 600);
        QCOMPARE(picture.height(), qRound(600 * 297.0 / 210));   // A4
        QVERIFY(picture.save(picturesFolder() + u"/report-picture-"_s + d.option + u".png"_s));
        QVERIFY2(pixelsOfColour(picture, mastheadColour(d.option)) > 600 * 10, qPrintable(d.option));
        QCOMPARE(picture.pixelColor(5, 5), QColor(Qt::white));
        QVERIFY(reportPagePicture(html, options(), 1, 600).height() > 0);
        QVERIFY(reportPagePicture(html, options(), 99, 600).isNull());
    }
}

void TestReportDocument::writersStopAtAFailingDevice()
{
    const QByteArray html = reportHtml(reportDesigns().at(2), testResponses());
    const qint64 pdfSize = reportPdf(html, options()).size();
    const qint64 odtSize = reportOdt(html).size();
    QVERIFY(pdfSize > 1000 && odtSize > 1000);
    for (const qint64 capacity : {qint64(0), qint64(100), qint64(-2)}) {
        for (const auto failure : {FailingDevice::Failure::Error, FailingDevice::Failure::ShortWrite}) {
            // -2: half of the document.
            FailingDevice pdf(capacity == -2 ? pdfSize / 2 : capacity, failure);
            QVERIFY(!writeReportPdf(pdf, html, options()));
            QCOMPARE(pdf.writesAfterFailure(), 0);
            FailingDevice odt(capacity == -2 ? odtSize / 2 : capacity, failure);
            QVERIFY(!writeReportOdt(odt, html));
            QCOMPARE(odt.writesAfterFailure(), 0);
        }
    }
    FailingDevice roomy(qint64(64) * 1024 * 1024);
    QVERIFY(writeReportOdt(roomy, html));
    QVERIFY(roomy.taken().startsWith("PK"));
    QVERIFY(writeReportPdf(roomy, html, options()));
}

void TestReportDocument::failuresLeaveTheEarlierFile_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("named");   // the path the message names
    QTest::addColumn<QString>("reason");

    for (const ReportFormat format : {ReportFormat::Pdf, ReportFormat::Odt}) {
        const QString kind = format == ReportFormat::Pdf ? u"PDF: "_s : u"ODT: "_s;
        const QString earlier = format == ReportFormat::Pdf ? u"r.pdf"_s : u"r.odt"_s;
        QTest::newRow(qPrintable(kind + u"template missing"_s))
            << int(format) << u"missing.htm"_s << earlier << false << u"missing.htm"_s << u"No such file"_s;
        QTest::newRow(qPrintable(kind + u"destination folder missing"_s))
            << int(format) << u"t.htm"_s << u"none/"_s + earlier << false << u"none/"_s + earlier << QString();
        QTest::newRow(qPrintable(kind + u"destination is a folder"_s))
            << int(format) << u"t.htm"_s << u"folder"_s << false << u"folder"_s << u"folder"_s;
        QTest::newRow(qPrintable(kind + u"destination read-only"_s))
            << int(format) << u"t.htm"_s << earlier << true << earlier << QString();
    }
}

void TestReportDocument::failuresLeaveTheEarlierFile()
{
    QFETCH(int, format);
    QFETCH(QString, templateName);
    QFETCH(QString, destination);
    QFETCH(bool, readOnly);
    QFETCH(QString, named);
    QFETCH(QString, reason);
    if (readOnly && ::geteuid() == 0)
        QSKIP("the superuser writes read-only files");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QVERIFY(writeFileBytes(dir.filePath(u"t.htm"_s), "<body><table><tr><td>\r\n"));
    const QString earlier = format == int(ReportFormat::Pdf) ? u"r.pdf"_s : u"r.odt"_s;
    QVERIFY(writeFileBytes(dir.filePath(earlier), "earlier report"));
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir.filePath(earlier), QFile::ReadOwner));

    QString error;
    QVERIFY(!writeReportDocument(ReportFormat(format), dir.filePath(templateName), dir.filePath(destination),
                                 testResponses(), options(), &error));
    // What failed, the path, the reason: one line each.
    const QStringList parts = error.split(u'\n');
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts[1], QDir::toNativeSeparators(dir.filePath(named)));
    QVERIFY2(!parts[2].trimmed().isEmpty(), qPrintable(error));
    if (!reason.isEmpty())
        QVERIFY2(parts[2].contains(reason), qPrintable(error));
    QCOMPARE(fileBytes(dir.filePath(earlier)), QByteArray("earlier report"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{earlier, u"t.htm"_s}));
}

BREVANT_TEST_MAIN(TestReportDocument)
#include "tst_reportdocument.moc"
