// The report as an OpenDocument Text file and a Word document, read back
// as word processors read them (the ODT's XML out of the zip, python-docx,
// LibreOffice), and the documents on a device that fails and on
// destinations that cannot be written.
#include "document/documentengine.h"
#include "reportdocumenttest.h"
#include "trickytexts.h"

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
    void odtReadBackAsTyped_data();
    void odtReadBackAsTyped();
    void odtPackageFollowsTheRules();
    void documentsAreTheSameByteForByte();
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

void TestReportFiles::odtReadBackAsTyped_data()
{
    QTest::addColumn<int>("design");
    QTest::addColumn<QStringList>("responses");
    QTest::newRow("Executive Delight, what users type") << 0 << typedResponses();
    QTest::newRow("Green Orchids, every hard character") << 2 << trickyResponses();
}

// The ODT's content read as OpenDocument says: the masthead, every heading
// in order as a heading with its outline level (none skipped), the
// statements as paragraphs, and every response exactly as typed: runs of
// blanks, blanks at the start and end of a line, tabs, line breaks of
// every kind, characters beyond 16 bits, markup; what XML cannot hold as
// U+FFFD.
void TestReportFiles::odtReadBackAsTyped()
{
    QFETCH(int, design);
    QFETCH(QStringList, responses);
    const ReportDesign &d = reportDesigns().at(design);
    const QString odt = picturesFolder() + u"/report-"_s + d.option + u".odt"_s;
    QString error;
    QVERIFY2(writeReport(ReportFormat::Odt, templatePath(d), odt, responses, options(), &error), qPrintable(error));
    const QList<OdtParagraph> read = odtParagraphs(unzippedBytes(odt, u"content.xml"_s), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const ReportMasthead masthead = reportOn(d, {}).masthead;
    QCOMPARE(read.mid(0, 3), (QList<OdtParagraph>{{u"Kicker"_s, 0, masthead.kicker},
                                                  {u"Title"_s, 0, u"Curriculum Policy Report"_s},
                                                  {u"Subtitle"_s, 0, masthead.subtitle}}));
    qsizetype at = 3;
    int level = 0;   // the title's
    for (int item = 1; item <= kItemCount; ++item) {
        for (const QString &heading : QuestionnaireCatalogue::instance().headingTexts(item)) {
            QVERIFY2(at < read.size(), qPrintable(heading));
            const OdtParagraph &p = read.at(at++);
            QCOMPARE(p.text, heading);
            if (p.level > 0) {
                QVERIFY2(p.level <= level + 1, qPrintable(heading));
                QCOMPARE(p.style, u"Heading_20_%1"_s.arg(p.level));
                level = p.level;
            } else {
                QCOMPARE(p.style, u"Statement"_s);
            }
        }
        QVERIFY(at < read.size());
        QCOMPARE(read.at(at).style, u"Response"_s);
        const QString typed = responses.value(item - 1);
        QCOMPARE(read.at(at++).text, u"Response: "_s + (typed == typedResponses().at(7) ? kTypedResponse8
                                                                                        : documentText(typed)));
    }
    QCOMPARE(at, read.size());
    // The parts and sections as headings of their levels, the statements
    // not.
    QVERIFY(read.contains({u"Heading_20_1"_s, 1, u"5-1:0    A. DEPARTMENT DETERMINANTS"_s}));
    QVERIFY(read.contains({u"Heading_20_2"_s, 2, u"5-1:1 Minimum Department Size"_s}));
    QVERIFY(read.contains(
        {u"Heading_20_3"_s, 3, u"5-2:2.1  a.  Bachelor of Arts/Bachelor of Science Degree Components"_s}));
    QVERIFY(read.contains({u"Statement"_s, 0, u"i.  Cognate Courses, if required by the major"_s}));
}

// The package as OpenDocument has it: the mimetype the first member,
// stored, with no extra field, so that its type stands at byte 38; a
// manifest that lists the package and every other member; every part
// well-formed XML of ODF 1.3; the properties (title, program, language,
// when it was made).
void TestReportFiles::odtPackageFollowsTheRules()
{
    DocumentOptions o = options("en_US");
    o.made = QDateTime(kDate, QTime(9, 30), Qt::UTC);
    const QByteArray odt = reportOdt(reportOn(reportDesigns().at(1), testResponses()), o);
    const QByteArray type = "application/vnd.oasis.opendocument.text";
    QCOMPARE(odt.left(4), QByteArray("PK\x03\x04"));
    const auto le16 = [&](int at) { return quint8(odt[at]) | quint8(odt[at + 1]) << 8; };
    QCOMPARE(le16(8), 0);    // stored
    QCOMPARE(le16(26), 8);   // the name's length
    QCOMPARE(le16(28), 0);   // no extra field
    QCOMPARE(odt.mid(30, 8 + type.size()), "mimetype" + type);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"r.odt"_s);
    QVERIFY(writeFileBytes(path, odt));
    QStringList members = runPdfTool(u"unzip"_s, {u"-Z1"_s, path}).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(members.first(), u"mimetype"_s);
    QVERIFY(members.contains(u"META-INF/manifest.xml"_s));
    QXmlStreamReader manifest(unzippedBytes(path, u"META-INF/manifest.xml"_s));
    QStringList listed;
    while (!manifest.atEnd()) {
        if (manifest.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = manifest.attributes();
        if (manifest.qualifiedName() == u"manifest:manifest") {
            QCOMPARE(a.value(u"manifest:version"_s).toString(), u"1.3"_s);
        } else if (manifest.qualifiedName() == u"manifest:file-entry") {
            const QString full = a.value(u"manifest:full-path"_s).toString();
            listed << full;
            QCOMPARE(a.value(u"manifest:media-type"_s).toString(),
                     full == u"/"_s ? QString::fromLatin1(type) : u"text/xml"_s);
        }
    }
    QVERIFY2(!manifest.hasError(), qPrintable(manifest.errorString()));
    members.removeAll(u"mimetype"_s);
    members.removeAll(u"META-INF/manifest.xml"_s);
    members.prepend(u"/"_s);
    QCOMPARE(listed, members);

    for (const QString &member : members.mid(1)) {
        QXmlStreamReader part(unzippedBytes(path, member));
        QVERIFY2(part.readNextStartElement(), qPrintable(member));
        QCOMPARE(part.attributes().value(u"office:version"_s).toString(), u"1.3"_s);
        while (!part.atEnd())
            part.readNext();
        QVERIFY2(!part.hasError(), qPrintable(member + u": "_s + part.errorString()));
    }
    const QString meta = unzipped(path, u"meta.xml"_s);
    for (const QString &property :
         {u"<dc:title>Curriculum Policy Report</dc:title>"_s, u"<dc:language>en-US</dc:language>"_s,
          u"<meta:generator>Brevant Policies</meta:generator>"_s,
          u"<meta:creation-date>2026-12-08T09:30:00Z</meta:creation-date>"_s})
        QVERIFY2(meta.contains(property), qPrintable(meta));
}

// The same report made twice when SOURCE_DATE_EPOCH is set is the same
// file byte for byte, every member of either zip dated then.
void TestReportFiles::documentsAreTheSameByteForByte()
{
    const QByteArray before = qgetenv("SOURCE_DATE_EPOCH");
    const bool wasSet = qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH");
    qputenv("SOURCE_DATE_EPOCH", "1796722200");   // 8 December 2026, 9:30 UTC
    const DocumentOptions first = options();
    const DocumentOptions second = options();
    if (wasSet)
        qputenv("SOURCE_DATE_EPOCH", before);
    else
        qunsetenv("SOURCE_DATE_EPOCH");
    const QString stamp =
        QDateTime::fromSecsSinceEpoch(1796722200).toLocalTime().toString(u"yyyyMMdd.HHmmss"_s);

    const Report report = reportOn(reportDesigns().at(2), typedResponses());
    QTemporaryDir dir;
    for (const auto make : {&reportOdt, &reportDocx}) {
        const QByteArray bytes = make(report, first, nullptr);
        QVERIFY(bytes.size() > 1000);
        QVERIFY(bytes == make(report, second, nullptr));
        const QString path = dir.filePath(u"r.zip"_s);
        QVERIFY(writeFileBytes(path, bytes));
        // "-rw-r--r--  2.0 unx  39 b- stor 20261208.093000 mimetype"
        static const QRegularExpression member(u"^\\S+ +\\S+ +\\S+ +\\d+ +\\S+ +\\S+ +(\\d{8}\\.\\d{6}) "_s,
                                               QRegularExpression::MultilineOption);
        const QString listing = runPdfTool(u"unzip"_s, {u"-Z"_s, u"-T"_s, path});
        int dated = 0;
        for (auto it = member.globalMatch(listing); it.hasNext(); ++dated)
            QCOMPARE(it.next().captured(1), stamp);
        QVERIFY2(dated >= 5, qPrintable(listing));
    }
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
namespace {

// A Word document as readdocx.py reads it with python-docx.
QJsonObject readDocx(const QString &docx)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {QFile::decodeName(BREVANT_READDOCX), docx});
    python.waitForFinished(60000);
    if (python.exitCode() != 0)
        qWarning("%s", python.readAllStandardError().constData());
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// The paragraphs python-docx reads: the masthead, every heading in order
// in Word's heading styles with no level skipped, every response of
// typedResponses() as typed with its line breaks.
void compareWordParagraphs(const QJsonObject &read, const ReportDesign &design)
{
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
    const ReportMasthead masthead = reportOn(design, {}).masthead;
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
}

} // namespace

// The Word document as python-docx reads it: its paragraphs
// (compareWordParagraphs), the footer's fields, the properties and the
// page.
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
    const QJsonObject read = readDocx(docx);
    const QByteArray out = QJsonDocument(read).toJson(QJsonDocument::Compact);
    compareWordParagraphs(read, reportDesigns().at(design));
    if (QTest::currentTestFailed())
        return;

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

// Both documents as a word processor opens them. Converted to text: every
// heading and response in order, each response exactly as typed (in an
// ODT of every hard character too), with nothing before or after it. Laid out, as a PDF: the footer's fields
// worked out on every page; the first page, drawn from it, shows the
// masthead in the design's colour. The ODT saved by it as a Word document
// and read by python-docx: the word processor took its headings as
// headings of their levels, its footer's numbers as page fields, its
// language and its page.
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
    // And an ODT of every hard character.
    const QString tricky = dir.filePath(u"report-tricky.odt"_s);
    QVERIFY(writeFileBytes(tricky, reportOdt(reportOn(design, trickyResponses()), options())));
    const QString log = convert(u"txt:Text (encoded):UTF8"_s, documents + QStringList{tricky});

    QStringList expected = typedResponses();
    expected[7] = kTypedResponse8;
    QStringList hard;
    for (const QString &response : trickyResponses())
        hard << documentText(response);
    for (const QString &name : {u"report-docx"_s, u"report-odt"_s, u"report-tricky"_s}) {
        const QStringList &typed = name == u"report-tricky"_s ? hard : expected;
        const QString text = QString::fromUtf8(fileBytes(dir.filePath(name + u".txt"_s)));
        QVERIFY2(text.contains(u"Curriculum Policy Report"_s), qPrintable(name + u": "_s + log));
        const QString missing = firstMissingPiece(text, typed);
        QVERIFY2(missing.isEmpty(), qPrintable(name + u": not in order: "_s + missing));
        for (const QString &response : typed) {
            QVERIFY2(text.contains(u"\nResponse: "_s + response + u'\n'),
                     qPrintable(name + u": not as typed: "_s + response.left(60)));
        }
    }

    const QString pdfLog = convert(u"pdf"_s, documents);
    for (const QString &name : {u"report-docx"_s, u"report-odt"_s}) {
        const QString pdf = dir.filePath(name + u".pdf"_s);
        QStringList pages = pdfText(pdf).split(u'\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        QVERIFY2(pages.size() >= 3, qPrintable(name + u": "_s + pdfLog));
        for (int p = 1; p <= pages.size(); ++p) {
            QVERIFY2(pages.at(p - 1).contains(u"Page %1 of %2"_s.arg(p).arg(pages.size())),
                     qPrintable(name + u", page %1: "_s.arg(p) + pages.at(p - 1).right(200)));
            QVERIFY(pages.at(p - 1).contains(kDateText));
        }
    }
    // The first pages, as pictures kept in the build folder to look at.
    for (const QString &name : {u"report-docx"_s, u"report-odt"_s}) {
        const QString picture = picturesFolder() + u'/' + name + u'-' + design.option;
        runPdfTool(u"pdftoppm"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s,
                                   dir.filePath(name + u".pdf"_s), picture});
        const QImage page1(picture + u".png"_s);
        QVERIFY2(pixelsOfColour(page1, mastheadColour(design.option)) > page1.width() * 10,
                 qPrintable(name + u": the design's masthead is not on the first page"_s));
        QCOMPARE(page1.pixelColor(20, 20), QColor(Qt::white));
    }

    const QString docxLog = convert(u"docx"_s, {documents.last()});
    const QJsonObject read = readDocx(dir.filePath(u"report-odt.docx"_s));
    const QByteArray out = QJsonDocument(read).toJson(QJsonDocument::Compact);
    QVERIFY2(!read.isEmpty(), qPrintable(docxLog));
    compareWordParagraphs(read, design);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(read[u"footer"_s].toString().startsWith(kDateText + u"\tPage "_s), out.constData());
    QCOMPARE(read[u"fields"_s].toArray(), (QJsonArray{u"PAGE"_s, u"NUMPAGES"_s}));
    QCOMPARE(read[u"lang"_s].toString(), u"de-DE"_s);
    const QJsonArray page = read[u"page"_s].toArray();
    QVERIFY2(qAbs(page[0].toDouble() - 210) < 0.1 && qAbs(page[1].toDouble() - 297) < 0.1, out.constData());
    // Left, right and top: the bottom margin holds the footer there.
    const QJsonArray margins = read[u"margins"_s].toArray();
    for (int side = 0; side < 3; ++side)
        QVERIFY2(qAbs(margins[side].toDouble() - 20) < 0.1, out.constData());
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
