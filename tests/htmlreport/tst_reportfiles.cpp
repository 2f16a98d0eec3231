// The report as an OpenDocument Text file, its content.xml read back out of
// the zip, and both documents on a device that fails and on destinations
// that cannot be written.
#include "reportdocumenttest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void odtHoldsTheResponsesAsText();
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
}

void TestReportFiles::writersStopAtAFailingDevice()
{
    const Report report = reportOn(reportDesigns().at(2), testResponses());
    const qint64 pdfSize = reportPdf(report, options()).size();
    const qint64 odtSize = reportOdt(report).size();
    QVERIFY(pdfSize > 1000 && odtSize > 1000);
    for (const qint64 capacity : {qint64(0), qint64(100), qint64(-2)}) {
        for (const auto failure : {FailingDevice::Failure::Error, FailingDevice::Failure::ShortWrite}) {
            // -2: half of the document.
            FailingDevice pdf(capacity == -2 ? pdfSize / 2 : capacity, failure);
            QVERIFY(!writeReportPdf(pdf, report, options(), nullptr));
            QCOMPARE(pdf.writesAfterFailure(), 0);
            FailingDevice odt(capacity == -2 ? odtSize / 2 : capacity, failure);
            QVERIFY(!writeReportOdt(odt, report, options(), nullptr));
            QCOMPARE(odt.writesAfterFailure(), 0);
        }
    }
    FailingDevice roomy(qint64(64) * 1024 * 1024);
    QVERIFY(writeReportOdt(roomy, report, options(), nullptr));
    QVERIFY(roomy.taken().startsWith("PK"));
    QVERIFY(writeReportPdf(roomy, report, options(), nullptr));
}

void TestReportFiles::failuresLeaveTheEarlierFile_data()
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
    const QString earlier = format == int(ReportFormat::Pdf) ? u"r.pdf"_s : u"r.odt"_s;
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
