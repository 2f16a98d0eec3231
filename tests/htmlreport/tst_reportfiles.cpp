// The report as an OpenDocument Text file and a Word document, read back
// as word processors read them (content.xml out of the zip, python-docx,
// LibreOffice), and the documents on a device that fails and on
// destinations that cannot be written.
#include "document/documentengine.h"
#include "reportdocumenttest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUrl>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void odtHoldsTheResponsesAsText();
    void docxReadBackByPythonDocx_data();
    void docxReadBackByPythonDocx();
    void documentsReadByAWordProcessor();
    void writersStopAtAFailingDevice();
    void failuresLeaveTheEarlierFile_data();
    void failuresLeaveTheEarlierFile();
};

void TestReportFiles::initTestCase()
{
    QVERIFY2(QFile::exists(builtProgramFolder() + u"/Templates/Executive_Delight.htm"_s),
             "the built program folder with its templates is needed");
    for (const QString &tool : {u"pdftotext"_s, u"pdfinfo"_s, u"pdffonts"_s, u"pdftoppm"_s, u"unzip"_s})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool + u" is needed"_s));
}

void TestReportFiles::odtHoldsTheResponsesAsText()
{
    const QStringList responses = testResponses();
    const QString odt = picturesFolder() + u"/report.odt"_s;
    QString error;
    QVERIFY2(writeReport(ReportFormat::Odt, templatePath(reportDesigns().at(0)), odt, responses,
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
    // The line breaks as typed: no tab (none was typed) and no blank before
    // them or after the response.
    QCOMPARE(content.count(u"<text:tab/>"_s), 0);
    QVERIFY2(content.contains(u"&quot;quoted&quot;<text:line-break/>second line of three<text:line-break/>third "
                              "line</text:span>"_s),
             qPrintable(content.mid(content.indexOf(u"quoted"_s) - 200, 600)));
}

void TestReportFiles::docxReadBackByPythonDocx_data()
{
    QTest::addColumn<int>("design");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::newRow("Executive Delight, German: A4") << 0 << u"de_DE"_s << QSizeF(210, 297);
    QTest::newRow("Orange Madness, US: Letter") << 1 << u"en_US"_s << QSizeF(215.9, 279.4);
    QTest::newRow("Green Orchids, British: A4") << 2 << u"en_GB"_s << QSizeF(210, 297);
}

// The Word document as python-docx reads it: the masthead, every heading
// in order in Word's heading styles with no level skipped, every response
// as typed with its line breaks, the footer's fields, the properties and
// the page.
void TestReportFiles::docxReadBackByPythonDocx()
{
    QFETCH(int, design);
    QFETCH(QString, locale);
    QFETCH(QSizeF, pageMm);
    const QString docx = picturesFolder() + u"/report-"_s + reportDesigns().at(design).option + u".docx"_s;
    QString error;
    QVERIFY2(writeReport(ReportFormat::Docx, templatePath(reportDesigns().at(design)), docx, typedResponses(),
                         options(qPrintable(locale)), &error),
             qPrintable(error));
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {QFile::decodeName(BREVANT_READDOCX), docx});
    QVERIFY(python.waitForFinished(60000));
    const QByteArray out = python.readAllStandardOutput();
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonObject read = QJsonDocument::fromJson(out).object();

    QStringList expected = typedResponses();
    expected[7] = kTypedResponse8;
    QStringList responses;
    QStringList headings;
    QList<QStringList> paragraphs;
    int level = 0;   // the title's
    for (const QJsonValue &p : read[u"paragraphs"_s].toArray()) {
        const QString style = p[0].toString();
        const QString text = p[1].toString();
        paragraphs.append({style, text});
        if (style == u"Response"_s) {
            responses << text;
        } else if (style != u"Kicker"_s && style != u"Title"_s && style != u"Subtitle"_s) {
            headings << text;
            if (style.startsWith(u"Heading "_s)) {
                const int n = style.mid(8).toInt();
                QVERIFY2(n >= 1 && n <= level + 1, qPrintable(style + u": "_s + text));
                level = n;
            }
        }
    }
    const ReportMasthead masthead = reportOn(reportDesigns().at(design), {}).masthead;
    QCOMPARE(paragraphs.mid(0, 3), (QList<QStringList>{{u"Kicker"_s, masthead.kicker},
                                                        {u"Title"_s, u"Curriculum Policy Report"_s},
                                                        {u"Subtitle"_s, masthead.subtitle}}));
    QStringList catalogueHeadings;
    for (int item = 1; item <= kItemCount; ++item)
        catalogueHeadings << QuestionnaireCatalogue::instance().headingTexts(item);
    QCOMPARE(headings, catalogueHeadings);
    QCOMPARE(responses.size(), kItemCount);
    for (int i = 0; i < kItemCount; ++i)
        QCOMPARE(responses.at(i), u"Response: "_s + expected.at(i));
    // The parts and sections in Word's heading styles, the statements not.
    QVERIFY(paragraphs.contains({u"Heading 1"_s, u"5-1:0    A. DEPARTMENT DETERMINANTS"_s}));
    QVERIFY(paragraphs.contains({u"Heading 2"_s, u"5-1:1 Minimum Department Size"_s}));
    QVERIFY(paragraphs.contains(
        {u"Heading 3"_s, u"5-2:2.1  a.  Bachelor of Arts/Bachelor of Science Degree Components"_s}));
    QVERIFY(paragraphs.contains({u"Statement"_s, u"i.  Cognate Courses, if required by the major"_s}));

    QCOMPARE(read[u"footer"_s].toString(), kDateText + u"\tPage 1 of 1"_s);
    QCOMPARE(read[u"fields"_s].toArray(), (QJsonArray{u"PAGE"_s, u"NUMPAGES"_s}));
    QCOMPARE(read[u"title"_s].toString(), u"Curriculum Policy Report"_s);
    QCOMPARE(read[u"creator"_s].toString(), u"Brevant Policies"_s);
    const QString language = QString(locale).replace(u'_', u'-');
    QCOMPARE(read[u"language"_s].toString(), language);
    QCOMPARE(read[u"lang"_s].toString(), language);
    const QJsonArray page = read[u"page"_s].toArray();
    QVERIFY2(qAbs(page[0].toDouble() - pageMm.width()) < 0.1 && qAbs(page[1].toDouble() - pageMm.height()) < 0.1,
             out.constData());
    for (const QJsonValue margin : read[u"margins"_s].toArray())
        QVERIFY2(qAbs(margin.toDouble() - 20) < 0.1, out.constData());
}

// Both documents converted to text by LibreOffice, as a word processor
// opens them: every heading and response in order, each response exactly
// as typed, with nothing before or after it. The Word document laid out
// by it as well: the masthead in the design's colour, and the footer's
// fields worked out on every page.
void TestReportFiles::documentsReadByAWordProcessor()
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    QVERIFY2(!soffice.isEmpty(), "soffice is needed (Debian libreoffice-writer-nogui)");
    QTemporaryDir dir;
    const ReportDesign &design = reportDesigns().at(2);
    const Report report = reportOn(design, typedResponses());
    QStringList documents;
    for (const ReportFormat format : {ReportFormat::Docx, ReportFormat::Odt}) {
        const ReportWriter &writer = reportWriter(format);
        documents << dir.filePath(u"report-"_s + writer.extensions.first() + u'.' + writer.extensions.first());
        QFile file(documents.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(writer.write(file, report, options(), nullptr));
    }
    // A profile of the test's own; its first start takes a while.
    const auto convert = [&](const QString &to, const QStringList &files) {
        QProcess office;
        office.setProcessChannelMode(QProcess::MergedChannels);
        office.start(soffice, QStringList{u"-env:UserInstallation="_s
                                              + QUrl::fromLocalFile(dir.filePath(u"profile"_s)).toString(),
                                          u"--headless"_s, u"--convert-to"_s, to, u"--outdir"_s, dir.path()}
                                  + files);
        office.waitForFinished(300000);
        return QString::fromLocal8Bit(office.readAll());
    };
    const QString log = convert(u"txt:Text (encoded):UTF8"_s, documents);

    QStringList expected = typedResponses();
    expected[7] = kTypedResponse8;
    for (const QString &name : {u"report-docx.txt"_s, u"report-odt.txt"_s}) {
        const QString text = QString::fromUtf8(fileBytes(dir.filePath(name)));
        QVERIFY2(text.contains(u"Curriculum Policy Report"_s), qPrintable(name + u": "_s + log));
        const QString missing = firstMissingPiece(text, expected);
        QVERIFY2(missing.isEmpty(), qPrintable(name + u": not in order: "_s + missing));
        for (const QString &response : expected) {
            QVERIFY2(text.contains(u"\nResponse: "_s + response + u'\n'),
                     qPrintable(name + u": not as typed: "_s + response.left(60)));
        }
    }

    const QString pdfLog = convert(u"pdf"_s, {documents.first()});
    const QString pdf = dir.filePath(u"report-docx.pdf"_s);
    QStringList pages = pdfText(pdf).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QVERIFY2(pages.size() >= 3, qPrintable(pdfLog));
    for (int p = 1; p <= pages.size(); ++p) {
        QVERIFY2(pages.at(p - 1).contains(u"Page %1 of %2"_s.arg(p).arg(pages.size())),
                 qPrintable(u"page %1: "_s.arg(p) + pages.at(p - 1).right(200)));
        QVERIFY(pages.at(p - 1).contains(kDateText));
    }
    const QString picture = picturesFolder() + u"/report-docx-"_s + design.option;
    runPdfTool(u"pdftoppm"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s,
                               pdf, picture});
    const QImage page1(picture + u".png"_s);
    QVERIFY2(pixelsOfColour(page1, mastheadColour(design.option)) > page1.width() * 10,
             "the design's masthead is not on the first page");
    QCOMPARE(page1.pixelColor(20, 20), QColor(Qt::white));
}

void TestReportFiles::writersStopAtAFailingDevice()
{
    const Report report = reportOn(reportDesigns().at(2), testResponses());
    const qint64 pdfSize = reportPdf(report, options()).size();
    const qint64 odtSize = reportOdt(report, options()).size();
    const qint64 docxSize = reportDocx(report, options()).size();
    QVERIFY(pdfSize > 1000 && odtSize > 1000 && docxSize > 1000);
    for (const qint64 capacity : {qint64(0), qint64(100), qint64(-2)}) {
        for (const auto failure : {FailingDevice::Failure::Error, FailingDevice::Failure::ShortWrite}) {
            // -2: half of the document.
            FailingDevice pdf(capacity == -2 ? pdfSize / 2 : capacity, failure);
            QVERIFY(!writeReportPdf(pdf, report, options(), nullptr));
            QCOMPARE(pdf.writesAfterFailure(), 0);
            FailingDevice odt(capacity == -2 ? odtSize / 2 : capacity, failure);
            QVERIFY(!writeReportOdt(odt, report, options(), nullptr));
            QCOMPARE(odt.writesAfterFailure(), 0);
            FailingDevice docx(capacity == -2 ? docxSize / 2 : capacity, failure);
            QVERIFY(!writeReportDocx(docx, report, options(), nullptr));
            QCOMPARE(docx.writesAfterFailure(), 0);
        }
    }
    FailingDevice roomy(qint64(64) * 1024 * 1024);
    QVERIFY(writeReportOdt(roomy, report, options(), nullptr));
    QVERIFY(roomy.taken().startsWith("PK"));
    QVERIFY(writeReportPdf(roomy, report, options(), nullptr));
    QVERIFY(writeReportDocx(roomy, report, options(), nullptr));
}

void TestReportFiles::failuresLeaveTheEarlierFile_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("named");   // the path the message names
    QTest::addColumn<QString>("reason");

    for (const ReportFormat format : {ReportFormat::Pdf, ReportFormat::Odt, ReportFormat::Docx}) {
        const QString earlier = u"r."_s + reportWriter(format).extensions.first();
        const QString kind = earlier + u": "_s;
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

void TestReportFiles::failuresLeaveTheEarlierFile()
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
    const QString earlier = u"r."_s + reportWriter(ReportFormat(format)).extensions.first();
    QVERIFY(writeFileBytes(dir.filePath(earlier), "earlier report"));
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir.filePath(earlier), QFile::ReadOwner));

    QString error;
    QVERIFY(!writeReport(ReportFormat(format), dir.filePath(templateName), dir.filePath(destination),
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

BREVANT_TEST_MAIN(TestReportFiles)
#include "tst_reportfiles.moc"
