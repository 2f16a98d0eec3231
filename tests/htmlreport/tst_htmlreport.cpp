// The HTML report writer: the file it writes, line by line, and how it
// fails.

#include "core/catalogue.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "io/codepage.h"
#include "trickytexts.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The report after the template, transcribed row by row: quoted texts are
// written as they stand, "Window.Control" stands for a caption and
// "Window.descN" for a response.
const QList<QStringList> kTable = {
    {u"<table><tr><td>"_s, u"<b>"_s, u"Std1.Frame3"_s, u"<br>"_s, u"Std1.Label3"_s, u"</b><br><br></td></tr><tr><td><b>"_s},
    {u"Std1.Frame2"_s, u"<br>"_s, u"Std1.Label1"_s, u"<br>Response: </b><i>"_s, u"Std1.desc1"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std1.Frame1"_s, u"<br>"_s, u"Std1.Label7"_s, u"<br>Response: </b><i>"_s, u"Std1.desc2a"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std2.Frame1"_s, u"<br>"_s, u"Std2.Label1"_s, u"<br>Response: </b><i>"_s, u"Std2.desc2b"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std2.Frame2"_s, u"<br>"_s, u"Std2.Label4"_s, u"<br>Response: </b><i>"_s, u"Std2.desc3"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std3.Frame1"_s, u"<br>"_s, u"Std3.Label1"_s, u"<br>Response: </b><i>"_s, u"Std3.desc4"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std3.Label4"_s, u"<br>"_s, u"Std3.Frame2"_s, u"<br>"_s, u"Std3.Label5"_s, u"<br>"_s, u"Std3.Label6"_s, u"<br>Response: </b><i>"_s, u"Std3.desc21a"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std4.Frame1"_s, u"<br>"_s, u"Std4.Label1"_s, u"<br>Response: </b><i>"_s, u"Std4.desc21b"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std4.Frame2"_s, u"<br>"_s, u"Std4.Label3"_s, u"<br>Response: </b><i>"_s, u"Std4.desc21c"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std4.Frame3"_s, u"<br>"_s, u"Std4.Label5"_s, u"<br>Response: </b><i>"_s, u"Std4.desc21d"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std5.Frame1"_s, u"<br>"_s, u"Std5.Label1"_s, u"<br>Response: </b><i>"_s, u"Std5.desc22"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std5.Frame2"_s, u"<br>"_s, u"Std5.Label4"_s, u"<br>Response: </b><i>"_s, u"Std5.desc221aed"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std5.Label7"_s, u"<br>Response: </b><i>"_s, u"Std5.desc221amajor"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"std6.Frame1"_s, u"<br>"_s, u"std6.Label1"_s, u"<br>Response: </b><i>"_s, u"std6.desc221aminor"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"std6.Label4"_s, u"<br>Response: </b><i>"_s, u"std6.desc221acog"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"std6.Label7"_s, u"<br>Response: </b><i>"_s, u"std6.desc221ielectives"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std7.Frame1"_s, u"<br>"_s, u"Std7.Label1"_s, u"<br>Response: </b><i>"_s, u"Std7.desc222b"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std7.Frame2"_s, u"<br>"_s, u"Std7.Label4"_s, u"<br>Response: </b><i>"_s, u"Std7.desc223c"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std8.Frame3"_s, u"<br>"_s, u"Std8.Label7"_s, u"<br>Response: </b><i>"_s, u"Std8.desc224di"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std8.Label1"_s, u"<br>Response: </b><i>"_s, u"Std8.desc224dii"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std8.Label4"_s, u"<br>Response: </b><i>"_s, u"Std8.desc224diii"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std9.Frame1"_s, u"<br>"_s, u"Std9.Label1"_s, u"<br>Response: </b><i>"_s, u"Std9.desc224div"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std9.Frame2"_s, u"<br>"_s, u"Std9.Label4"_s, u"<br>"_s, u"Std9.Label5"_s, u"<br>Response: </b><i>"_s, u"Std9.desc23i"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std9.Label6"_s, u"<br>Response: </b><i>"_s, u"Std9.desc23ii"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std9.Label7"_s, u"<br>Response: </b><i>"_s, u"Std9.desc23iii"_s, u"</i><br><br></td></tr>"_s},
    {u"<tr><td><b>"_s, u"Std10.Frame1"_s, u"<br>"_s, u"Std10.Label1"_s, u"<br>Response: </b><i>"_s, u"Std10.desc23iv"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std10.Label2"_s, u"<br>Response: </b><i>"_s, u"Std10.desc23v"_s, u"</i><br><br></td></tr><tr><td><b>"_s},
    {u"Std10.Label3"_s, u"<br>Response: </b><i>"_s, u"Std10.desc23std"_s, u"</i><br><br></td></tr></table>"_s},
    {u"</td> </tr>"_s, u"</table> </body> </html>"_s},
};

int pageOfWindow(const QString &window)
{
    for (const QuestionnairePage &p : QuestionnaireCatalogue::instance().pages()) {
        if (p.window == window)
            return p.number;
    }
    return 0;
}

int itemOfResponseBox(const QString &box)
{
    for (const QuestionnaireItem &it : QuestionnaireCatalogue::instance().items()) {
        if (it.responseBox == box)
            return it.number;
    }
    return 0;
}

// The expected report lines after the template, from the transcription.
QStringList expectedTable(const QStringList &responses)
{
    QStringList lines;
    for (const QStringList &row : kTable) {
        for (const QString &entry : row) {
            if (entry.startsWith(u'<')) {
                lines << entry;
                continue;
            }
            const QString window = entry.section(u'.', 0, 0);
            const QString control = entry.section(u'.', 1);
            if (control.startsWith(u"desc"_s)) {
                const int item = itemOfResponseBox(control);
                Q_ASSERT(item > 0);
                lines << responses.at(item - 1);
            } else {
                const QString text = QuestionnaireCatalogue::instance().controlText(pageOfWindow(window), control);
                Q_ASSERT(!text.isEmpty());
                lines << text;
            }
        }
    }
    return lines;
}

// The file cut at its CR LF pairs; fails on a lone CR or LF.
QList<QByteArray> crlfLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || !lines.last().isEmpty())
        return {"<last line has no CR LF>"};
    lines.removeLast();
    for (QByteArray &line : lines) {
        if (!line.endsWith('\r'))
            return {"<line end without CR>"};
        line.chop(1);
        if (line.contains('\r'))
            return {"<lone CR>"};
    }
    return lines;
}

QStringList numberedResponses()
{
    QStringList r;
    for (int i = 1; i <= kItemCount; ++i)
        r << u"Response %1 of the department"_s.arg(i);
    return r;
}

// The golden reports: written by the report writer before it was last
// rewritten, so the bytes of every report stay as they were.
QString golden(const QString &name)
{
    return QStringLiteral(BREVANT_TEST_DATA "/") + name;
}

} // namespace

class TestHtmlReport : public QObject {
    Q_OBJECT
private slots:
    void reportFollowsTheTableLineByLine();
    void responseTexts_data();
    void responseTexts();
    void templateLinesAreKept_data();
    void templateLinesAreKept();
    void codePageAgreesWithTheSystemDecoder();
    void failuresLeaveTheEarlierFile_data();
    void failuresLeaveTheEarlierFile();
    void writesTheGoldenReports_data();
    void writesTheGoldenReports();
};

void TestHtmlReport::reportFollowsTheTableLineByLine()
{
    const QStringList responses = numberedResponses();
    const QByteArray bytes = reportBytes("<html><body><table><tr><td>", responses);
    const QList<QByteArray> lines = crlfLines(bytes);
    QCOMPARE(lines.size(), 169);
    QCOMPARE(lines.first(), QByteArray("<html><body><table><tr><td>"));

    const QStringList expected = expectedTable(responses);
    QCOMPARE(expected.size(), 168);
    for (int i = 0; i < expected.size(); ++i) {
        const QString got = QString::fromLatin1(lines.at(i + 1));
        QVERIFY2(got == expected.at(i),
                 qPrintable(u"line %1: \"%2\", expected \"%3\""_s.arg(i + 2).arg(got, expected.at(i))));
    }
    // The captions keep their own runs of blanks.
    QCOMPARE(lines.at(3), QByteArray("5-1:0    A. DEPARTMENT DETERMINANTS"));
    QCOMPARE(lines.at(51), QByteArray("5-2:1  Definition of Degrees"));
}

void TestHtmlReport::responseTexts_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<QByteArray>("written");   // the response as it stands in the file
    QTest::addColumn<int>("lineCount");

    QTest::newRow("empty") << QString() << QByteArray() << 169;
    QTest::newRow("two lines, CR LF") << u"First line\r\nSecond line"_s
                                      << QByteArray("First line<br>\r\nSecond line") << 170;
    QTest::newRow("two lines, LF") << u"First line\nSecond line"_s
                                   << QByteArray("First line<br>\r\nSecond line") << 170;
    QTest::newRow("lone CR") << u"a\rb"_s << QByteArray("a<br>\r\nb") << 170;
    QTest::newRow("blank line between paragraphs") << u"One.\n\nTwo."_s
                                                   << QByteArray("One.<br>\r\n<br>\r\nTwo.") << 171;
    QTest::newRow("trailing line break") << u"Done\n"_s << QByteArray("Done<br>\r\n") << 170;
    QTest::newRow("markup") << u"<b>bold</b> & <script>alert(1)</script>"_s
                            << QByteArray("&lt;b&gt;bold&lt;/b&gt; &amp; &lt;script&gt;alert(1)&lt;/script&gt;") << 169;
    QTest::newRow("quotes and entities") << u"\"quoted\" it's &amp;"_s
                                         << QByteArray("&quot;quoted&quot; it's &amp;amp;") << 169;
    QTest::newRow("Windows-1252 letters") << u"caf\u00e9 \u20ac5 \u201cok\u201d \u2014"_s
                                          << QByteArray("caf\xe9 \x80" "5 \x93ok\x94 \x97") << 169;
    QTest::newRow("outside the code page") << u"\u0416 \u4e2d \U0001F600"_s
                                           << QByteArray("&#1046; &#20013; &#128512;") << 169;
    QTest::newRow("blanks kept") << u"  two  blanks  "_s << QByteArray("  two  blanks  ") << 169;
}

void TestHtmlReport::responseTexts()
{
    QFETCH(QString, response);
    QFETCH(QByteArray, written);
    QFETCH(int, lineCount);

    // Item 14 sits in the middle of a shared row; item 27 closes the table.
    for (int item : {14, 27}) {
        QStringList responses = numberedResponses();
        responses[item - 1] = response;
        const QByteArray bytes = reportBytes("<body><table><tr><td>", responses);
        const QList<QByteArray> lines = crlfLines(bytes);
        QCOMPARE(lines.size(), lineCount);

        const QByteArray before = "<br>Response: </b><i>\r\n";
        const QByteArray after = item == 27 ? "\r\n</i><br><br></td></tr></table>\r\n"
                                            : "\r\n</i><br><br></td></tr><tr><td><b>\r\n";
        QVERIFY2(bytes.contains(before + written + after), bytes.constData());
    }
}

void TestHtmlReport::templateLinesAreKept_data()
{
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<QByteArray>("head");   // the file up to the report table

    QTest::newRow("several lines, CR LF")
        << QByteArray("<html>\r\n<head><title>two\r\nwords</title></head>\r\n<body><table><tr><td>\r\n")
        << QByteArray("<html>\r\n<head><title>two\r\nwords</title></head>\r\n<body><table><tr><td>\r\n");
    QTest::newRow("several lines, LF")
        << QByteArray("<p class=\"a\nb\">\n<td>\n") << QByteArray("<p class=\"a\r\nb\">\r\n<td>\r\n");
    QTest::newRow("no line end at all") << QByteArray("<body><table><tr><td>")
                                        << QByteArray("<body><table><tr><td>\r\n");
    QTest::newRow("last line without a line end") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\r\n") << QByteArray("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("empty template") << QByteArray() << QByteArray("\r\n");
    QTest::newRow("bytes above 127 unchanged") << QByteArray("caf\xe9 \x81\x93\r\n")
                                               << QByteArray("caf\xe9 \x81\x93\r\n");
}

void TestHtmlReport::templateLinesAreKept()
{
    QFETCH(QByteArray, templateText);
    QFETCH(QByteArray, head);
    const QByteArray bytes = reportBytes(templateText, numberedResponses());
    QVERIFY2(bytes.startsWith(head + "<table><tr><td>\r\n"), bytes.left(200).constData());
    QCOMPARE(crlfLines(bytes).size(), crlfLines(head).size() + 168);
}

void TestHtmlReport::codePageAgreesWithTheSystemDecoder()
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        QSKIP("this Qt has no Windows-1252 decoder to compare with");
    for (int byte = 0; byte < 256; ++byte) {
        const QString decoded = decoder.decode(QByteArray(1, char(byte)));
        QCOMPARE(decoded.size(), 1);
        const char32_t c = decoded.at(0).unicode();
        if (c == 0xFFFD)
            continue;   // a byte the decoder leaves undefined
        QVERIFY2(cp1252::fromUnicode(c) == byte, qPrintable(u"byte %1 decodes to U+%2"_s.arg(byte).arg(uint(c), 4, 16)));
    }
    QCOMPARE(cp1252::fromUnicode(0x0080), -1);   // the euro sign owns byte 0x80
    QCOMPARE(htmlText(u"\u0080"), QByteArray("&#128;"));
    QCOMPARE(htmlText(QString(QChar(0xD800))), QByteArray("&#65533;"));
}

void TestHtmlReport::failuresLeaveTheEarlierFile_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("named");   // the path the message names

    QTest::newRow("template missing") << u"missing.htm"_s << u"r.html"_s << false << u"missing.htm"_s;
    QTest::newRow("template is a folder") << u"folder"_s << u"r.html"_s << false << u"folder"_s;
    QTest::newRow("destination folder missing") << u"t.htm"_s << u"none/r.html"_s << false << u"none/r.html"_s;
    QTest::newRow("destination is a folder") << u"t.htm"_s << u"folder"_s << false << u"folder"_s;
    QTest::newRow("destination read-only") << u"t.htm"_s << u"r.html"_s << true << u"r.html"_s;
}

void TestHtmlReport::failuresLeaveTheEarlierFile()
{
    QFETCH(QString, templateName);
    QFETCH(QString, destination);
    QFETCH(bool, readOnly);
    QFETCH(QString, named);
    if (readOnly && ::geteuid() == 0)
        QSKIP("the superuser writes read-only files");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QVERIFY(writeFileBytes(dir.filePath(u"t.htm"_s), "<body><table><tr><td>\r\n"));
    QVERIFY(writeFileBytes(dir.filePath(u"r.html"_s), "earlier report"));
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir.filePath(u"r.html"_s), QFile::ReadOwner));

    QString error;
    QVERIFY(!writeReport(ReportFormat::Html, dir.filePath(templateName), dir.filePath(destination), numberedResponses(),
                        DocumentOptions(), &error));
    // What failed, the path, the reason: one line each.
    const QStringList parts = error.split(u'\n');
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts[1], QDir::toNativeSeparators(dir.filePath(named)));
    QVERIFY2(!parts[2].trimmed().isEmpty(), qPrintable(error));
    QCOMPARE(fileBytes(dir.filePath(u"r.html"_s)), QByteArray("earlier report"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"r.html"_s, u"t.htm"_s}));
}

void TestHtmlReport::writesTheGoldenReports_data()
{
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QStringList>("responses");
    QTest::addColumn<QString>("page");
    QTest::newRow("every hard case") << golden(u"tricky.htm"_s) << trickyResponses() << golden(u"tricky.html"_s);
    // The example page of a design, as the build wrote it then.
    QTest::newRow("example page") << golden(u"example-template.htm"_s) << exampleResponses()
                                  << golden(u"example-page.htm"_s);
}

// The whole report, template to end, through the path writer and in
// memory, is the golden page byte for byte.
void TestHtmlReport::writesTheGoldenReports()
{
    QFETCH(QString, templateFile);
    QFETCH(QStringList, responses);
    QFETCH(QString, page);
    const QByteArray expected = fileBytes(page);
    QVERIFY(expected.startsWith("<"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString written = dir.filePath(u"report.html"_s);
    QString error;
    QVERIFY2(writeReport(ReportFormat::Html, templateFile, written, responses, DocumentOptions(), &error), qPrintable(error));
    QCOMPARE(fileBytes(written), expected);
    QCOMPARE(reportBytes(fileBytes(templateFile), responses), expected);
}

QTEST_GUILESS_MAIN(TestHtmlReport)
#include "tst_htmlreport.moc"
