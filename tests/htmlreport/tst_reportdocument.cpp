// The report as a PDF, read back with the tools a user's viewer and an
// accessibility checker stand for: pdftotext, pdfinfo, pdffonts, pdftoppm
// and pikepdf (taggedpdf_check.py).
#include "reportdocumenttest.h"
#include "trickytexts.h"

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
    void pdfTextIsWhatWasTyped();
    void pdfKeepsEveryHardCharacter();
    void pagePictureIsThePdfPage();
};

namespace {

// The faults taggedpdf_check.py finds in a report PDF, one a line; empty
// when there is none.
QString checkerFaults(const QString &pdf, const QString &language)
{
    QProcess checker;
    checker.setProcessChannelMode(QProcess::MergedChannels);
    checker.start(u"/usr/bin/python3"_s, {QFile::decodeName(BREVANT_TAGGED_PDF_CHECK), pdf, language,
                                         u"Curriculum Policy Report"_s, QString::number(kItemCount)});
    if (!checker.waitForFinished(120000))
        return u"the checker did not finish"_s;
    const QString out = QString::fromUtf8(checker.readAll());
    return checker.exitCode() == 0 ? QString() : out + u"(exit code %1)"_s.arg(checker.exitCode());
}

} // namespace

void TestReportDocument::initTestCase()
{
    QVERIFY2(QFile::exists(builtProgramFolder() + u"/Templates/Executive_Delight.htm"_s),
             "the built program folder with its templates is needed");
    for (const QString &tool : {u"pdftotext"_s, u"pdfinfo"_s, u"pdffonts"_s, u"pdftoppm"_s, u"unzip"_s})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool + u" is needed"_s));
    QVERIFY2(QFile::exists(u"/usr/lib/python3/dist-packages/pikepdf/__init__.py"_s),
             "pikepdf (Debian python3-pikepdf) is needed");
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

    QCOMPARE(paperFor(QLocale(u"en_US"_s)), Paper::Letter);
    QCOMPARE(paperFor(QLocale(u"en_GB"_s)), Paper::A4);
    QCOMPARE(paperFor(QLocale(u"de_DE"_s)), Paper::A4);
    QCOMPARE(footerDate(kDate), kDateText);
}

void TestReportDocument::pdfOfEachDesign_data()
{
    QTest::addColumn<int>("design");
    for (int i = 0; i < reportDesigns().size(); ++i)
        QTest::newRow(qPrintable(reportDesigns().at(i).option)) << i;
}

// Each design's PDF: every heading and response in order, every character
// kept (those beyond 16 bits too), no ligature glyph in its text, the
// footer on every page, a tagged PDF that an accessibility checker takes,
// and its first page in the design's colours (the picture stays in the
// build folder).
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

    const QString text = pdfText(pdf);
    QVERIFY(!text.isEmpty());
    // "ff", "fi" and the like as their letters, so a search finds them.
    QVERIFY2(!text.contains(QRegularExpression(u"[\uFB00-\uFB06]"_s)), "a ligature glyph in the text");
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
    const QString missing = firstMissingPiece(body, responses);
    QVERIFY2(missing.isEmpty(), qPrintable(u"not in order: "_s + missing));
    QVERIFY(body.contains(u"<b>not bold</b> & \"quoted\""_s));
    QVERIFY(body.contains(u"\u03A9\u03BC\u03B5\u03B3\u03B1"_s));
    QVERIFY(body.contains(u"\u0416\u0443\u043A"_s));
    QVERIFY(body.contains(u"euro \u20AC, dash \u2013, bold A \U0001D400 end"_s));
    // Each line drawn once: no piece of a response stands twice.
    const QString flat = body.simplified();
    for (int r = 1; r <= kItemCount; ++r) {
        if (!responses.at(r - 1).contains(u"Sentence 12 "_s))
            continue;
        for (int n = 1; n <= 12; ++n)
            QCOMPARE(flat.count(u"Sentence %1 of response %2 "_s.arg(n).arg(r)), 1);
    }
    // The line breaks typed: the lines stand apart.
    QVERIFY(body.contains(QRegularExpression(u"\"quoted\"\\s*\\n\\s*second line of three\\s*\\n\\s*third line"_s)));

    const QString faults = checkerFaults(pdf, u"de"_s);
    QVERIFY2(faults.isEmpty(), qPrintable(faults));

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
    // Every font is embedded, as a subset, with a map to Unicode: the page
    // looks the same on any computer and its text reads back.
    const QString fonts = runPdfTool(u"pdffonts"_s, {pdf});
    for (const QString &column : {u"emb"_s, u"sub"_s, u"uni"_s}) {
        const QStringList values = fontColumn(fonts, column);
        QVERIFY(!values.isEmpty());
        QVERIFY2(values.count(u"yes"_s) == values.size(), qPrintable(fonts));
    }
    // The language of the locale, for a screen reader's voice.
    QVERIFY(checkerFaults(pdf, locale.left(2)).isEmpty());
}

// What was typed reads back as typed, by position (pdftotext, a viewer's
// search and copy) and by structure (pdfinfo -struct-text, a screen
// reader): the letters a ligature would join, and a response of 120 lines
// over a page break with each line once, whole and in order; the
// headings and responses in reading order, each with its element type.
void TestReportDocument::pdfTextIsWhatWasTyped()
{
    QStringList responses = testResponses();
    responses[0] = u"The first office offer was sufficient."_s;
    responses[1] = longResponse();
    // One paragraph of 9 KB, which is laid out in pieces.
    QStringList words;
    for (int i = 1; i <= 1500; ++i)
        words << u"w%1"_s.arg(i, 4, 10, QLatin1Char('0'));
    responses[3] = words.join(u' ');
    // Orange Madness: its face (DejaVu Sans here) has ligatures.
    const Report report = reportOn(reportDesigns().at(1), responses);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"report.pdf"_s);
    QVERIFY(writeFileBytes(pdf, reportPdf(report, options())));

    const QString text = pdfText(pdf);
    QVERIFY(text.contains(u"Response: The first office offer was sufficient.\n"_s));
    const QStringList lines = text.split(QRegularExpression(u"[\n\f]"_s));
    qsizetype at = 0;
    for (const QString &typed : responses[1].split(u'\n')) {
        QCOMPARE(text.count(typed.left(8)), 1);   // "Line 001" ...
        while (at < lines.size() && !lines.at(at).endsWith(typed))
            ++at;
        QVERIFY2(at < lines.size(), qPrintable(u"not whole or not in order: "_s + typed));
    }
    const auto pageOf = [&](const QString &line) { return text.left(text.indexOf(line)).count(u'\f'); };
    QVERIFY2(pageOf(u"Line 001"_s) < pageOf(u"Line 120"_s), "the long response stayed on one page");
    // Its words each once and in order, its lines all full but the last:
    // no seam where one piece of the paragraph ends and the next begins.
    QStringList paragraph;
    for (const QString &line : lines) {
        if (line.contains(QRegularExpression(u"\\bw\\d{4}\\b"_s)))
            paragraph << line.trimmed();
    }
    QCOMPARE(paragraph.join(u' ').remove(u"Response: "_s), responses[3]);
    for (qsizetype i = 1; i + 1 < paragraph.size(); ++i)
        QVERIFY2(paragraph.at(i).size() >= paragraph.at(1).size() - 6, qPrintable(paragraph.at(i)));

    QList<std::pair<QString, QString>> expected = {{u"P"_s, report.masthead.kicker},
                                                   {u"H1"_s, report.masthead.title},
                                                   {u"P"_s, report.masthead.subtitle}};
    const QHash<ReportHeading::Kind, QString> tags = {{ReportHeading::Kind::Division, u"H2"_s},
                                                      {ReportHeading::Kind::Section, u"H3"_s},
                                                      {ReportHeading::Kind::Lead, u"P"_s},
                                                      {ReportHeading::Kind::Statement, u"H4"_s}};
    for (const ReportItem &item : report.items) {
        for (const ReportHeading &h : item.headings)
            expected << std::pair{tags.value(h.kind), h.text};
        expected << std::pair{u"P"_s, u"Response: "_s + item.response};
    }
    const QList<std::pair<QString, QString>> elements = structureText(pdf);
    QVERIFY2(!elements.isEmpty() && elements.first().first == u"Document"_s, "no Document at the root");
    QCOMPARE(elements.size() - 1, expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto &[tag, got] = elements.at(i + 1);
        QVERIFY2(tag == expected.at(i).first && got.simplified() == expected.at(i).second.simplified(),
                 qPrintable(u"%1 \"%2\" where %3 \"%4\" belongs"_s.arg(tag, got.left(80), expected.at(i).first,
                                                                      expected.at(i).second.left(80))));
    }
}

// The responses with every hard case of the writers (line breaks of every
// kind, controls, characters no face has, surrogate pairs and lone ones):
// the PDF is made and stays tagged throughout, and every character that
// shows reads back in order.
void TestReportDocument::pdfKeepsEveryHardCharacter()
{
    QStringList responses = trickyResponses();
    // And right-to-left text, in a paragraph of its own and within one.
    responses[0] = u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD\nArabic \u0645\u0631\u062D\u0628\u0627 here"_s;
    // Kept in the build folder, to look at.
    const QString pdf = picturesFolder() + u"/report-hard-characters.pdf"_s;
    QString error;
    QVERIFY2(writeReport(ReportFormat::Pdf, templatePath(reportDesigns().at(2)), pdf, responses, options(), &error),
             qPrintable(error));
    const QString faults = checkerFaults(pdf, u"de"_s);
    QVERIFY2(faults.isEmpty(), qPrintable(faults));

    const QString missing = firstMissingShown(bodyText(pdfText(pdf).split(u'\f')), responses);
    QVERIFY2(missing.isEmpty(), qPrintable(u"not read back in order: "_s + missing));
}

// The picture of a page (for the guide) is the PDF's page: drawn by the
// same layout, it differs from poppler's rendering of the PDF only where
// the two smooth the edges of letters (the PDF's rendering is kept beside
// it in the build folder). And it shows the design: the
// masthead, the margins, and the rule that sets each item off, along its
// left edge (Orange Madness) or under it, dashed in Green Orchids.
void TestReportDocument::pagePictureIsThePdfPage()
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

        // Kept beside the picture, to compare.
        const QString prefix = picturesFolder() + u"/report-picture-pdf-"_s + d.option;
        QVERIFY(writeFileBytes(prefix + u".pdf"_s, reportPdf(report, options())));
        runPdfTool(u"pdftoppm"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-scale-to-x"_s, u"600"_s, u"-scale-to-y"_s,
                                   QString::number(picture.height()), u"-png"_s, u"-singlefile"_s,
                                   prefix + u".pdf"_s, prefix});
        const QImage rendered = QImage(prefix + u".png"_s).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(rendered.size(), picture.size());
        // Compared in squares of 8 pixels: the mean grey of each, where the
        // two renderers' smoothing of the letters' edges evens out.
        constexpr int kSquare = 8;
        int squares = 0;
        int differing = 0;
        for (int y = 0; y + kSquare <= picture.height(); y += kSquare) {
            for (int x = 0; x + kSquare <= picture.width(); x += kSquare, ++squares) {
                int grey = 0;
                for (int dy = 0; dy < kSquare; ++dy) {
                    for (int dx = 0; dx < kSquare; ++dx)
                        grey += qGray(picture.pixel(x + dx, y + dy)) - qGray(rendered.pixel(x + dx, y + dy));
                }
                differing += qAbs(grey) > 24 * kSquare * kSquare;
            }
        }
        QVERIFY2(differing < squares / 100,
                 qPrintable(u"%1: %2 of %3 squares differ from the PDF's page"_s.arg(d.option).arg(differing)
                                .arg(squares)));

        // The rule, three times as large: the longest run of its colour down
        // a column and along a row, and the most runs of a dash's length
        // along a row, below the masthead (its left edge has no text) and its
        // band.
        const QImage whole = reportPagePicture(report, options(), 0, 1800);
        int top = 0;
        while (top < whole.height() && whole.pixelColor(240, top) != mastheadColour(d.option))
            ++top;
        while (top < whole.height() && whole.pixelColor(240, top) == mastheadColour(d.option))
            ++top;
        const QImage large = whole.copy(0, top + 30, whole.width(), whole.height() - top - 30);
        const QColor rule = QColor::fromRgb(report.style.ruleColor);
        const auto isRule = [&](int x, int y) {
            const QColor c = large.pixelColor(x, y);
            return qAbs(c.red() - rule.red()) + qAbs(c.green() - rule.green()) + qAbs(c.blue() - rule.blue()) < 24;
        };
        int down = 0, along = 0, dashes = 0;
        for (int x = 0; x < large.width(); ++x) {
            for (int y = 0, run = 0; y < large.height(); ++y)
                down = qMax(down, run = isRule(x, y) ? run + 1 : 0);
        }
        for (int y = 0; y < large.height(); ++y) {
            int runs = 0;
            for (int x = 0, run = 0; x <= large.width(); ++x) {
                if (x < large.width() && isRule(x, y)) {
                    along = qMax(along, ++run);
                    continue;
                }
                runs += run >= 6 && run <= 20;
                run = 0;
            }
            dashes = qMax(dashes, runs);
        }
        const QString found = u"%1: %2 down, %3 along, %4 dashes"_s.arg(d.option).arg(down).arg(along).arg(dashes);
        if (report.style.rule == ReportStyle::Rule::Left)
            QVERIFY2(down > 300 && along < 100, qPrintable(found));
        else if (report.style.ruleDashed)
            QVERIFY2(down < 100 && along < 30 && dashes > 40, qPrintable(found));
        else
            QVERIFY2(down < 100 && along > 900, qPrintable(found));
    }
}

BREVANT_TEST_MAIN(TestReportDocument)
#include "tst_reportdocument.moc"
