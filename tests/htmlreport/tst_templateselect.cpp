// The template window and its Save, as a page, a PDF, an ODT or a Word
// document, driven through its buttons as a user would.
#include "templatetest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestTemplateSelect : public QObject {
    Q_OBJECT
private slots:
    void init();
    void windowAndItsWayBackAndForth();
    void saveWritesTheReportAndShowsIt();
    void everySaveWritesTheBoxesAsTheyAreNow();
    void saveRefusals_data();
    void saveRefusals();
    void savingTwiceToOneFileShowsTheNewReport();
    void saveAsADocument_data();
    void saveAsADocument();
    void documentFailures_data();
    void documentFailures();
    void documentReplacedIsKept();
};

void TestTemplateSelect::init()
{
    QVERIFY2(QFile::exists(builtProgramFolder() + u"/Templates/Executive_Delight.htm"_s),
             "the built program folder with its templates is needed");
}

void TestTemplateSelect::windowAndItsWayBackAndForth()
{
    Harness h;
    TemplateSelect *w = openTemplateWindow(h);
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});
    QCOMPARE(w->dialog().filter(), kFilter);
    QVERIFY(w->dialog().cancelError());
    for (QRadioButton *option : {designOption(w, "ED"), designOption(w, "OM"), designOption(w, "GO")})
        QVERIFY(!option->isChecked());

    // Tab order: the options, Save, Back, Preview, and round again.
    QStringList chain;
    QWidget *f = designOption(w, "ED");
    do {
        if (f->focusPolicy() & Qt::TabFocus)
            chain << f->objectName();
        f = f->nextInFocusChain();
    } while (f != designOption(w, "ED"));
    QCOMPARE(chain, (QStringList{u"ED"_s, u"OM"_s, u"GO"_s, u"Save"_s, u"Back"_s, u"preview"_s}));

    // One group: a second choice clears the first.
    designOption(w, "OM")->click();
    designOption(w, "GO")->click();
    QVERIFY(!designOption(w, "OM")->isChecked());
    QVERIFY(designOption(w, "GO")->isChecked());

    h.click(w, u"Back"_s);
    QCOMPARE(h.visibleWindows(), QStringList{u"Std11"_s});
    h.click(h.program->std11(), u"save"_s);
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});
    QCOMPARE(h.program->templateSelect(), w);
    QVERIFY(designOption(w, "GO")->isChecked());
    QCOMPARE(h.lifetime.lastWindowClosedCalls + h.lifetime.endProgramCalls, 0);
    VERIFY_DIALOGS(h);
}

void TestTemplateSelect::saveWritesTheReportAndShowsIt()
{
    Harness h;
    QVERIFY(installTemplates(h));
    h.fillAll();
    h.response(4)->setPlainText(u"<b>not bold</b> & \"quoted\"\nsecond line"_s);
    h.response(1)->clear();
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "GO")->click();

    QTemporaryDir out;
    const QString path = out.filePath(u"report.html"_s);
    expectSavedTo(h, path);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);

    const QByteArray bytes = fileBytes(path);
    const QByteArray templateBytes = fileBytes(h.folder.filePath(u"Templates/Green_Orchids.htm"_s));
    QVERIFY(bytes.startsWith(templateHead(templateBytes)));
    QVERIFY(bytes.contains("\r\n<br>Response: </b><i>\r\n\r\n</i><br><br></td></tr>\r\n"));   // item 1, empty
    QVERIFY(bytes.contains("&lt;b&gt;not bold&lt;/b&gt; &amp; &quot;quoted&quot;<br>\r\nsecond line\r\n"));
    QVERIFY(bytes.contains("Response 27\r\n</i><br><br></td></tr></table>\r\n</td> </tr>\r\n</table> </body> </html>\r\n"));
    QCOMPARE(bytes.count("\r\n"), templateHead(templateBytes).count("\r\n") + 168 + 1);

    // The page shows what was typed, and the window stays where it was.
    BrowserWindow *browser = existingBrowser(h);
    QVERIFY(browser && browser->isVisible());
    QCOMPARE(browser->view()->source(), QUrl::fromLocalFile(path));
    const QString shown = browser->view()->toPlainText();
    QVERIFY2(shown.contains(u"<b>not bold</b> & \"quoted\"\nsecond line"_s), qPrintable(shown));
    QVERIFY(w->isVisible());
    QVERIFY(designOption(w, "GO")->isChecked());
    QCOMPARE(w->dialog().fileName(), path);
    QVERIFY(h.shell.requests.isEmpty());
}

// Every Save writes the boxes as they are then: after typing, after undo,
// with characters the page must escape or give as references.
void TestTemplateSelect::everySaveWritesTheBoxesAsTheyAreNow()
{
    Harness h;
    QVERIFY(installTemplates(h));
    h.fillAll();
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "ED")->click();
    QTemporaryDir out;
    const QString path = out.filePath(u"report.html"_s);
    const QByteArray templateBytes = fileBytes(h.folder.filePath(u"Templates/Executive_Delight.htm"_s));
    const auto saveAndCompare = [&] {
        expectSavedTo(h, path);
        h.click(w, u"Save"_s);
    };
    saveAndCompare();
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), reportBytes(templateBytes, h.program->questionnaire().responses()));

    h.response(3)->setPlainText(u"a < b & c\nnext line"_s);
    h.response(8)->setPlainText(u"\u03A9 and \u20AC"_s);
    saveAndCompare();
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), reportBytes(templateBytes, h.program->questionnaire().responses()));
    QVERIFY(fileBytes(path).contains("a &lt; b &amp; c<br>\r\nnext line\r\n"));
    QVERIFY(fileBytes(path).contains("&#937; and \x80\r\n"));

    h.response(8)->undo();
    h.response(3)->clear();
    saveAndCompare();
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(path), reportBytes(templateBytes, h.program->questionnaire().responses()));
}

void TestTemplateSelect::saveRefusals_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<int>("outcome");          // 0 chosen, 1 cancelled, 2 failed, -1 no dialog
    QTest::addColumn<bool>("templates");
    QTest::addColumn<QString>("destination");  // relative to a temporary folder
    QTest::addColumn<QString>("message");      // expected text; "*path*": names that path
    QTest::addColumn<int>("icon");

    QTest::newRow("no option selected") << false << -1 << true << u"r.html"_s << kNoTemplate << int(Icon::None);
    QTest::newRow("dialog cancelled") << true << 1 << true << u"r.html"_s << QString() << 0;
    QTest::newRow("dialog failed") << true << 2 << true << u"r.html"_s
                                   << u"Error 5 selecting file.\r\nAccess denied"_s << int(Icon::None);
    QTest::newRow("template missing") << true << 0 << false << u"r.html"_s << u"*template*"_s << int(Icon::Critical);
    QTest::newRow("destination is a folder") << true << 0 << true << u"folder"_s << u"*destination*"_s
                                             << int(Icon::Critical);
}

void TestTemplateSelect::saveRefusals()
{
    QFETCH(bool, select);
    QFETCH(int, outcome);
    QFETCH(bool, templates);
    QFETCH(QString, destination);
    QFETCH(QString, message);
    QFETCH(int, icon);

    Harness h;
    if (templates)
        QVERIFY(installTemplates(h));
    TemplateSelect *w = openTemplateWindow(h);
    if (select)
        designOption(w, "OM")->click();
    QTemporaryDir out;
    QVERIFY(QDir(out.path()).mkdir(u"folder"_s));
    const QString path = out.filePath(destination);
    const QString earlier = out.filePath(u"r.html"_s);
    {
        QFile f(earlier);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier report");
    }

    if (outcome == 0)
        h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path));
    else if (outcome == 1)
        h.dialogs.expectSave(kFilter, FileDialogOutcome::cancelled());
    else if (outcome == 2)
        h.dialogs.expectSave(kFilter, FileDialogOutcome::failed(5, u"Access denied"_s));
    if (message.startsWith(u'*'))
        h.dialogs.expectAnyMessage(QString());
    else if (!message.isEmpty())
        h.dialogs.expectMessage(message, QString(), Buttons::Ok, Icon(icon));
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);

    if (message == u"*template*"_s) {
        const QString shownText = h.dialogs.shownTexts.value(0);
        const QString templatePath = QDir::toNativeSeparators(h.folder.filePath(u"Templates/Orange_Madness.htm"_s));
        QVERIFY2(shownText.contains(templatePath), qPrintable(shownText));
        QVERIFY2(shownText.contains(u"No such file"_s), qPrintable(shownText));
    } else if (message == u"*destination*"_s) {
        const QString shownText = h.dialogs.shownTexts.value(0);
        QVERIFY2(shownText.contains(QDir::toNativeSeparators(path)), qPrintable(shownText));
    }
    QCOMPARE(fileBytes(earlier), QByteArray("earlier report"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"r.html"_s});
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});
}

void TestTemplateSelect::savingTwiceToOneFileShowsTheNewReport()
{
    Harness h;
    QVERIFY(installTemplates(h));
    h.fillAll();
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "ED")->click();
    QTemporaryDir out;
    const QString path = out.filePath(u"report"_s);   // typed without an extension

    h.response(27)->setPlainText(u"The first, much longer text of the last response. "_s.repeated(40));
    expectSavedTo(h, path);
    h.click(w, u"Save"_s);

    h.response(27)->setPlainText(u"Second text"_s);
    designOption(w, "OM")->click();
    expectSavedTo(h, path);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.initialNames.value(1), path);   // the dialog offers the last name

    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.startsWith(templateHead(fileBytes(h.folder.filePath(u"Templates/Orange_Madness.htm"_s)))));
    QVERIFY(!bytes.contains("first, much longer"));
    QVERIFY(bytes.contains("Second text"));

    // The same file written anew is shown anew.
    BrowserWindow *browser = existingBrowser(h);
    QVERIFY(browser);
    const QString shown = browser->view()->toPlainText();
    QVERIFY(shown.contains(u"Second text"_s));
    QVERIFY(!shown.contains(u"first, much longer"_s));
}

void TestTemplateSelect::saveAsADocument_data()
{
    QTest::addColumn<QString>("name");      // as typed in the dialog
    QTest::addColumn<int>("fileType");      // chosen in the dialog: 0 HTML, 1 PDF, 2 ODT, 3 DOCX
    QTest::addColumn<int>("format");        // what is written
    QTest::addColumn<QString>("written");   // the file's name: a document gets its type's extension
    QTest::addColumn<bool>("opens");        // whether the desktop has a program for it

    QTest::newRow("PDF chosen, no extension typed") << u"report"_s << 1 << int(ReportFormat::Pdf) << u"report.pdf"_s << true;
    QTest::newRow("ODT chosen") << u"report.odt"_s << 2 << int(ReportFormat::Odt) << u"report.odt"_s << true;
    QTest::newRow(".pdf typed, HTML left chosen") << u"Report.PDF"_s << 0 << int(ReportFormat::Pdf) << u"Report.PDF"_s << true;
    QTest::newRow(".odt typed, PDF chosen") << u"report.odt"_s << 1 << int(ReportFormat::Odt) << u"report.odt"_s << true;
    QTest::newRow("Word chosen, no extension typed") << u"report"_s << 3 << int(ReportFormat::Docx) << u"report.docx"_s << true;
    QTest::newRow(".docx typed, ODT chosen") << u"Report.docx"_s << 2 << int(ReportFormat::Docx) << u"Report.docx"_s << true;
    QTest::newRow("ODT, no program to open it") << u"report"_s << 2 << int(ReportFormat::Odt) << u"report.odt"_s << false;
    // The page as today, byte for byte, whatever type the dialog was left on.
    QTest::newRow(".html typed, PDF chosen") << u"report.html"_s << 1 << int(ReportFormat::Html) << u"report.html"_s << true;
    QTest::newRow("HTML chosen, other extension") << u"report.txt"_s << 0 << int(ReportFormat::Html) << u"report.txt"_s << true;
    QTest::newRow("HTML chosen, no extension") << u"report"_s << 0 << int(ReportFormat::Html) << u"report"_s << true;
}

// A PDF, an ODT or a Word document: written, "Successfully Saved...", then
// opened with the shell; the browser window is for pages only. An HTML page
// is written and shown exactly as before.
void TestTemplateSelect::saveAsADocument()
{
    QFETCH(QString, name);
    QFETCH(int, fileType);
    QFETCH(int, format);
    QFETCH(QString, written);
    QFETCH(bool, opens);
    Harness h;
    h.shell.opens = opens;
    QVERIFY(installTemplates(h));
    h.fillAll();
    h.response(4)->setPlainText(u"<b>not bold</b> & \u03A9\nsecond line"_s);
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "OM")->click();

    QTemporaryDir out;
    const QString path = out.filePath(written);
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(out.filePath(name), fileType))
        .expectMessage(u"Successfully Saved..."_s, u"Saving"_s);
    if (!opens)
        h.dialogs.expectAnyMessage(u"Not Opened"_s);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{written});
    // Where nothing opens it, the message says where it is.
    if (!opens)
        QVERIFY(h.dialogs.shownTexts.last().contains(u"\r\n"_s + QDir::toNativeSeparators(path) + u"\r\n"_s));

    const QByteArray bytes = fileBytes(path);
    const QByteArray templateBytes = fileBytes(h.folder.filePath(u"Templates/Orange_Madness.htm"_s));
    if (format == int(ReportFormat::Html)) {
        QCOMPARE(bytes, reportBytes(templateBytes, h.program->questionnaire().responses()));
        QVERIFY(existingBrowser(h) && existingBrowser(h)->isVisible());
        QVERIFY(h.shell.requests.isEmpty());
        QCOMPARE(h.dialogs.busyOn, 0);
        return;
    }
    QVERIFY(bytes.startsWith(format == int(ReportFormat::Pdf) ? "%PDF-" : "PK"));
    if (format == int(ReportFormat::Pdf)) {
        const QString text = pdfText(path);
        QVERIFY2(text.contains(u"<b>not bold</b> & \u03A9"_s), qPrintable(text.left(2000)));
        QVERIFY(text.contains(u"Response 27"_s));
        QVERIFY(text.contains(u"Page 1 of "_s));
    }
    QCOMPARE(h.shell.requests.size(), 1);
    QCOMPARE(h.shell.requests[0].verb, u"open"_s);
    QCOMPARE(h.shell.requests[0].target, path);
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});
    QCOMPARE(h.dialogs.busyOn, 1);
    QCOMPARE(h.dialogs.busyOff, 1);
    QCOMPARE(w->dialog().fileName(), out.filePath(name));
}

void TestTemplateSelect::documentFailures_data()
{
    QTest::addColumn<int>("fileType");
    QTest::addColumn<bool>("templates");
    QTest::addColumn<QString>("destination");   // relative to a temporary folder
    QTest::addColumn<QString>("named");         // the path the message names

    for (const int type : {1, 2, 3}) {
        const QString kind = QStringList{u"PDF: "_s, u"ODT: "_s, u"Word: "_s}.at(type - 1);
        QTest::newRow(qPrintable(kind + u"template missing"_s)) << type << false << u"r.doc"_s << u"template"_s;
        QTest::newRow(qPrintable(kind + u"destination is a folder"_s)) << type << true << u"folder.doc"_s << u"folder.doc"_s;
        QTest::newRow(qPrintable(kind + u"destination folder missing"_s))
            << type << true << u"none/r.doc"_s << u"none/r.doc"_s;
    }
}

// A clear message with the path and the reason, no success message, no
// viewer, and an earlier file of that name as it was.
void TestTemplateSelect::documentFailures()
{
    QFETCH(int, fileType);
    QFETCH(bool, templates);
    QFETCH(QString, destination);
    QFETCH(QString, named);
    Harness h;
    if (templates)
        QVERIFY(installTemplates(h));
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "ED")->click();
    QTemporaryDir out;
    QVERIFY(QDir(out.path()).mkdir(u"folder.doc"_s));
    QVERIFY(writeFileBytes(out.filePath(u"r.doc"_s), "earlier report"));

    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(out.filePath(destination), fileType))
        .expectAnyMessage(QString());
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    const QString shownText = h.dialogs.shownTexts.value(0);
    const QString path = named == u"template"_s ? h.folder.filePath(u"Templates/Executive_Delight.htm"_s)
                                                : out.filePath(named);
    QVERIFY2(shownText.split(u'\n').value(1) == QDir::toNativeSeparators(path), qPrintable(shownText));
    QVERIFY2(!shownText.split(u'\n').value(2).trimmed().isEmpty(), qPrintable(shownText));
    QCOMPARE(fileBytes(out.filePath(u"r.doc"_s)), QByteArray("earlier report"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"r.doc"_s});
    QVERIFY(h.shell.requests.isEmpty());
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.dialogs.busyOn, h.dialogs.busyOff);
}

// Arrow keys choose the design, Return presses Preview and Save, Escape
// puts the browser window away: the whole window without a mouse.
// A name the user did not choose: "report" becomes "report.pdf", which is
// asked about when it is there; a document Save replaces (a department's
// own, chosen by mistake) is kept in the backups folder first.
void TestTemplateSelect::documentReplacedIsKept()
{
    Harness h;
    QVERIFY(installTemplates(h));
    h.fillAll();
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "OM")->click();
    QTemporaryDir out;
    const QString pdf = out.filePath(u"report.pdf"_s);
    const QByteArray theirs = "%PDF- the department's own report";
    QVERIFY(writeFileBytes(pdf, theirs));
    const QString confirm = QDir::toNativeSeparators(pdf) + u" already exists.\r\nDo you want to replace it?"_s;

    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(out.filePath(u"report"_s), 1))
        .expectMessage(confirm, u"Confirm Save As"_s, Buttons::YesNo, Icon::None, Answer::No);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(fileBytes(pdf), theirs);

    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(out.filePath(u"report"_s), 1))
        .expectMessage(confirm, u"Confirm Save As"_s, Buttons::YesNo, Icon::None, Answer::Yes)
        .expectMessage(u"Successfully Saved..."_s, u"Saving"_s);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(pdf).startsWith("%PDF-1"));
    const QStringList kept = QDir(h.data.path() + u"/backups"_s).entryList(QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(kept.first().startsWith(u"report "_s) && kept.first().endsWith(u".pdf"_s));
    QCOMPARE(fileBytes(h.data.path() + u"/backups/"_s + kept.first()), theirs);
    QCOMPARE(h.dialogs.shownDetails.last(),
             u"The file's earlier content is kept in "_s + QDir::toNativeSeparators(h.data.path() + u"/backups/"_s + kept.first()));

    // Its own report of this run is replaced without another copy.
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(pdf, 1)).expectMessage(u"Successfully Saved..."_s, u"Saving"_s);
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    QCOMPARE(QDir(h.data.path() + u"/backups"_s).entryList(QDir::Files).size(), 1);
}

BREVANT_TEST_MAIN(TestTemplateSelect)
#include "tst_templateselect.moc"
