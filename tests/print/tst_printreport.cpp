#include "files.h"
#include "harness.h"
#include "testmain.h"

#include "app/std11.h"
#include "core/catalogue.h"
#include "document/printreport.h"
#include "print/printcommand.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

namespace {

// One printed item read back from the lines of a document.
struct PrintedItem {
    QStringList headings;   // bold lines before "Response"
    QStringList response;   // italic lines
    bool blankLine = false; // a plain empty line closes the item
};

QList<PrintedItem> readItems(const Recording &rec)
{
    QList<PrintedItem> items;
    qsizetype i = 0;
    const auto &lines = rec.lines;
    while (i < lines.size()) {
        PrintedItem item;
        while (i < lines.size() && lines[i].bold && !lines[i].italic && lines[i].text != u"Response")
            item.headings << lines[i++].text;
        if (i >= lines.size() || lines[i].text != u"Response" || !lines[i].bold)
            break;
        ++i;
        while (i < lines.size() && lines[i].italic && !lines[i].bold)
            item.response << lines[i++].text;
        if (i < lines.size() && !lines[i].bold && !lines[i].italic && lines[i].text.isEmpty()) {
            item.blankLine = true;
            ++i;
        }
        items << item;
    }
    return items;
}

QStringList responsesNumbered()
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i)
        texts << QStringLiteral("Answer %1").arg(i);
    return texts;
}

// A harness whose program prints through the fake factory.
struct PrintHarness : Harness {
    explicit PrintHarness(FakePrinters &printers) : Harness({.printers = &printers}) {}
    void pressPrint() { click(program->std11(), QStringLiteral("print")); }
};

const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf");

} // namespace

class TstPrintReport : public QObject {
    Q_OBJECT
private slots:
    void itemsInOrderWithTheirHeadings();
    void responseTextsKeepTheirLines();
    void surfaceFailureStopsTheDocument();

    void printsOneDocumentPerPress();
    void leavesOutAnswersAndPrompts();
    void noPrinterOffersPdf_data();
    void noPrinterOffersPdf();
    void failuresAreReported_data();
    void failuresAreReported();
    void pdfNameGetsItsExtensionAndAsks();
};

void TstPrintReport::itemsInOrderWithTheirHeadings()
{
    RecordingSurface surface;
    surface.width = 1e9;
    QVERIFY(printQuestionnaireReport(surface, responsesNumbered()));
    const Recording &rec = *surface.rec;
    QCOMPARE(rec.ended, 1);
    QVERIFY(!rec.boldAtEnd);
    QVERIFY(!rec.italicAtEnd);

    const QList<PrintedItem> items = readItems(rec);
    QCOMPARE(items.size(), kItemCount);
    // Every line belongs to an item: nothing before, between or after.
    qsizetype lineCount = 0;
    for (const PrintedItem &item : items)
        lineCount += item.headings.size() + 1 + item.response.size() + 1;
    QCOMPARE(lineCount, rec.lines.size());

    const QList<int> oneHeading = {12, 14, 15, 19, 20, 23, 24, 26, 27};
    for (int n = 1; n <= kItemCount; ++n) {
        const PrintedItem &item = items.at(n - 1);
        const int expected = (n == 1 || n == 6) ? 4 : n == 22 ? 3 : oneHeading.contains(n) ? 1 : 2;
        QVERIFY2(item.headings.size() == expected, qPrintable(QStringLiteral("item %1").arg(n)));
        QCOMPARE(item.response, QStringList{QStringLiteral("Answer %1").arg(n)});
        QVERIFY(item.blankLine);
    }
    // Headings come as the page shows them, lead-ins before their frame.
    QCOMPARE(items[0].headings.first(), QStringLiteral("5-1:0    A. DEPARTMENT DETERMINANTS"));
    QCOMPARE(items[0].headings.at(2), QStringLiteral("5-1:1 Minimum Department Size"));
    QCOMPARE(items[5].headings.mid(0, 2),
             (QStringList{QStringLiteral("5-2:0  B. DEGREE STRUCTURE"),
                          QStringLiteral("5-2:1 Definition of Degrees")}));
    QCOMPARE(items[6].headings.first(), QStringLiteral("5-2:1  Definition of Degrees"));
    QCOMPARE(items[21].headings.first(), QStringLiteral("5-2:3    3.  Associate Degree Requirements"));
    QCOMPARE(items[21].headings.at(1),
             QStringLiteral("An associate degree program shall consist of the following components "
                            "for a minumum of 62 credits. "));
    QCOMPARE(items[26].headings, QStringList{QStringLiteral("Standard = 24 credits/FTE faculty")});
}

void TstPrintReport::responseTextsKeepTheirLines()
{
    QStringList texts = responsesNumbered();
    texts[2] = QString();
    texts[4] = QStringLiteral("first\r\nsecond\n\nfourth");
    RecordingSurface surface;
    surface.width = 1e9;
    QVERIFY(printQuestionnaireReport(surface, texts));
    const QList<PrintedItem> items = readItems(*surface.rec);
    QCOMPARE(items.size(), kItemCount);
    // An empty response: an empty italic line, then the item's blank line.
    QCOMPARE(items[2].response, QStringList{QString()});
    QVERIFY(items[2].blankLine);
    QCOMPARE(items[4].response, (QStringList{QStringLiteral("first"), QStringLiteral("second"),
                                             QString(), QStringLiteral("fourth")}));
}

void TstPrintReport::surfaceFailureStopsTheDocument()
{
    RecordingSurface surface;
    surface.width = 1e9;
    surface.failAt = 40;
    QVERIFY(!printQuestionnaireReport(surface, responsesNumbered()));
    QCOMPARE(surface.rec->ended, 0);
    QCOMPARE(surface.operations, 41);
}

void TstPrintReport::printsOneDocumentPerPress()
{
    FakePrinters printers;
    printers.printer = QStringLiteral("Office");
    PrintHarness h(printers);
    h.fillAll();
    h.dialogs.expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    h.pressPrint();
    VERIFY_DIALOGS(h);

    // The second press prints the answers as they are then.
    h.response(27)->setPlainText(QStringLiteral("Changed"));
    h.dialogs.expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    h.pressPrint();
    VERIFY_DIALOGS(h);

    QCOMPARE(printers.documents.size(), 2);
    for (const auto &doc : printers.documents) {
        QCOMPARE(doc->target, QStringLiteral("printer:Office"));
        QCOMPARE(doc->begun, 1);
        QCOMPARE(doc->ended, 1);
        QCOMPARE(readItems(*doc).size(), kItemCount);
    }
    QCOMPARE(readItems(*printers.documents[0]).last().response, QStringList{"Response 27"});
    QCOMPARE(readItems(*printers.documents[1]).last().response, QStringList{"Changed"});
    // Printing changes no answer.
    QCOMPARE(h.response(1)->toPlainText(), QStringLiteral("Response 1"));
}

void TstPrintReport::leavesOutAnswersAndPrompts()
{
    FakePrinters printers;
    printers.printer = QStringLiteral("Office");
    PrintHarness h(printers);
    h.fillAll();
    for (int i = 1; i <= kItemCount; ++i) {
        if (QComboBox *answer = h.answer(i))
            answer->setCurrentText(QStringLiteral("Answer box %1").arg(i));
    }
    h.dialogs.expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
    h.pressPrint();
    VERIFY_DIALOGS(h);
    QCOMPARE(printers.documents.size(), 1);
    const QString log = printers.documents[0]->log;
    QVERIFY(!log.contains(QStringLiteral("Answer box")));
    QVERIFY(!log.contains(QStringLiteral("requirement met?")));
    QVERIFY(!log.contains(QStringLiteral("requirements met?")));
    QVERIFY(!log.contains(QStringLiteral("HELP")));
    QVERIFY(!log.contains(QStringLiteral("(Page ")));
}

void TstPrintReport::noPrinterOffersPdf_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("dialog");   // 0 none, 1 chosen, 2 cancelled, 3 failed
    QTest::addColumn<QStringList>("targets");
    QTest::addColumn<QString>("lastMessage");

    const QString path = QStringLiteral("/home/dept/report.pdf");
    QTest::newRow("No ends the command") << Answer::No << 0 << QStringList() << QString();
    QTest::newRow("Yes prints to the chosen file")
        << Answer::Yes << 1 << QStringList{"pdf:" + path} << "Successfully Printed..";
    QTest::newRow("cancelled Save ends silently") << Answer::Yes << 2 << QStringList() << QString();
    QTest::newRow("failed Save shows the shared message")
        << Answer::Yes << 3 << QStringList() << fileDialogErrorText(5, "Access denied");
}

void TstPrintReport::noPrinterOffersPdf()
{
    QFETCH(Answer, answer);
    QFETCH(int, dialog);
    QFETCH(QStringList, targets);
    QFETCH(QString, lastMessage);

    FakePrinters printers;
    PrintHarness h(printers);
    h.fillAll();
    h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, answer);
    if (dialog == 1)
        h.dialogs.expectSave(kPdfFilter, FileDialogOutcome::chosen("/home/dept/report.pdf"), Overwrite::Ask);
    if (dialog == 2)
        h.dialogs.expectSave(kPdfFilter, FileDialogOutcome::cancelled(), Overwrite::Ask);
    if (dialog == 3)
        h.dialogs.expectSave(kPdfFilter, FileDialogOutcome::failed(5, "Access denied"), Overwrite::Ask);
    if (dialog == 1)
        h.dialogs.expectMessage(lastMessage, QStringLiteral("Printing"));
    if (dialog == 3)
        h.dialogs.expectMessage(lastMessage, QString());
    h.pressPrint();
    VERIFY_DIALOGS(h);

    QStringList made;
    for (const auto &doc : printers.documents) {
        made << doc->target;
        QCOMPARE(readItems(*doc).size(), kItemCount);
    }
    QCOMPARE(made, targets);
    // The completion window stays where it was; nothing else is shown.
    QVERIFY(h.dialogs.parents.count(h.program->std11()) == h.dialogs.parents.size());
}

// A name typed without ".pdf" gets it; a file already there under that
// name is asked about, as the dialog asked about the name typed; the
// message says where the PDF went.
void TstPrintReport::pdfNameGetsItsExtensionAndAsks()
{
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("report"));
    const QString pdf = typed + QStringLiteral(".pdf");
    FakePrinters printers;
    PrintHarness h(printers);
    h.fillAll();
    const auto print = [&](bool exists, Answer replace) {
        h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes)
            .expectSave(kPdfFilter, FileDialogOutcome::chosen(typed), Overwrite::Ask);
        if (exists) {
            h.dialogs.expectMessage(QDir::toNativeSeparators(pdf) + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
                                    QStringLiteral("Confirm Save As"), Buttons::YesNo, Icon::None, replace);
        }
        if (!exists || replace == Answer::Yes)
            h.dialogs.expectMessage(QStringLiteral("Successfully Printed.."), QStringLiteral("Printing"));
        h.pressPrint();
    };
    print(false, Answer::Yes);
    VERIFY_DIALOGS(h);
    QCOMPARE(printers.documents.last()->target, QStringLiteral("pdf:") + pdf);
    QCOMPARE(h.dialogs.shownDetails.last(), QStringLiteral("The report is saved as ") + QDir::toNativeSeparators(pdf));

    QVERIFY(writeFileBytes(pdf, "%PDF- the department's own"));
    print(true, Answer::No);
    VERIFY_DIALOGS(h);
    QCOMPARE(printers.documents.size(), 1);
    print(true, Answer::Yes);
    VERIFY_DIALOGS(h);
    QCOMPARE(printers.documents.size(), 2);
}

void TstPrintReport::failuresAreReported_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("failAt");
    QTest::addColumn<QString>("message");

    const QString why = QStringLiteral("The paper ran out.");
    const QString pdf = QStringLiteral("/home/dept/report.pdf");
    QTest::newRow("printer cannot start") << "Office" << 0 << printerFailedText("Office", why);
    QTest::newRow("printer fails on the way") << "Office" << 120 << printerFailedText("Office", why);
    QTest::newRow("file cannot be opened") << "" << 0 << pdfFailedText(pdf, why);
    QTest::newRow("file fails on the way") << "" << 50 << pdfFailedText(pdf, why);
    // No surface at all: the document engine's own reason, word for word.
    QTest::newRow("no engine") << "" << -2 << pdfFailedText(pdf, FakePrinters::kNoEngine);
}

void TstPrintReport::failuresAreReported()
{
    QFETCH(QString, printer);
    QFETCH(int, failAt);
    QFETCH(QString, message);

    FakePrinters printers;
    printers.printer = printer;
    PrintHarness h(printers);
    h.fillAll();
    if (printer.isEmpty()) {
        h.dialogs.expectMessage(noPrinterOfferText(), QString(), Buttons::YesNo, Icon::None, Answer::Yes);
        h.dialogs.expectSave(kPdfFilter, FileDialogOutcome::chosen("/home/dept/report.pdf"), Overwrite::Ask);
    }
    printers.failAt = failAt;
    h.dialogs.expectMessage(message, QString(), Buttons::Ok, Icon::Critical);
    h.pressPrint();
    VERIFY_DIALOGS(h);
    QVERIFY(!h.dialogs.shownTexts.contains(QStringLiteral("Successfully Printed..")));
    QCOMPARE(printers.documents.size(), failAt == -2 ? 0 : 1);
    if (failAt != -2)
        QCOMPARE(printers.documents[0]->ended, 0);
}

BREVANT_TEST_MAIN(TstPrintReport)
#include "tst_printreport.moc"
