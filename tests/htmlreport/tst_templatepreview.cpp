// The template window's Preview, the browser window, closing them, their
// links, and the whole window by keyboard, driven as a user would.
#include "templatetest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestTemplatePreview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void previewShowsTheExamplePage_data();
    void previewShowsTheExamplePage();
    void previewWithoutSelectionOrWithoutPage();
    void closingTheWindows();
    void linksOpenInTheWebBrowser();
    void keyboardOnly();
};

void TestTemplatePreview::init()
{
    QVERIFY2(QFile::exists(builtProgramFolder() + u"/Templates/Executive_Delight.htm"_s),
             "the built program folder with its templates is needed");
}

void TestTemplatePreview::previewShowsTheExamplePage_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("page");
    for (const ReportDesign &d : reportDesigns())
        QTest::newRow(qPrintable(d.option)) << d.option << d.templatePath.section(u'/', -1);
}

void TestTemplatePreview::previewShowsTheExamplePage()
{
    QFETCH(QString, option);
    QFETCH(QString, page);
    Harness h;
    QVERIFY(installTemplates(h));
    TemplateSelect *w = openTemplateWindow(h);
    w->findChild<QRadioButton *>(option)->click();
    h.click(w, u"preview"_s);

    BrowserWindow *browser = existingBrowser(h);
    QVERIFY(browser && browser->isVisible());
    QVERIFY(w->isVisible());
    const QString examplePath = h.folder.filePath(u"Templates/Template_Examples/"_s + page);
    QCOMPARE(browser->view()->source(), QUrl::fromLocalFile(examplePath));
    QCOMPARE(browser->view()->documentTitle(), u"Curriculum Policy Report"_s);
    VERIFY_DIALOGS(h);

    // The example page is this design's report on the catalogue's examples.
    const QByteArray templateBytes = fileBytes(h.folder.filePath(u"Templates/"_s + page));
    QVERIFY(templateBytes.contains("charset=windows-1252"));
    QCOMPARE(fileBytes(examplePath), reportBytes(templateBytes, exampleResponses()));

    // Nothing in the design hides the report: every statement and every
    // example shows, in order, after the page's own heading.
    const QString shown = browser->view()->toPlainText().simplified();
    qsizetype at = shown.indexOf(u"Curriculum Policy Report"_s);
    QVERIFY(at >= 0);
    const QStringList examples = exampleResponses();
    for (int item = 1; item <= kItemCount; ++item) {
        at = shown.indexOf(QuestionnaireCatalogue::instance().item(item).statement.text.simplified(), at);
        QVERIFY2(at >= 0, qPrintable(u"item %1's statement is not shown in order"_s.arg(item)));
        at = shown.indexOf(examples.at(item - 1).section(u'\n', 0, 0).simplified(), at);
        QVERIFY2(at >= 0, qPrintable(u"item %1's example is not shown in order"_s.arg(item)));
    }
}

void TestTemplatePreview::previewWithoutSelectionOrWithoutPage()
{
    Harness h;
    TemplateSelect *w = openTemplateWindow(h);
    h.click(w, u"preview"_s);
    QVERIFY(!existingBrowser(h));

    // No example pages installed: the browser says so.
    designOption(w, "ED")->click();
    h.click(w, u"preview"_s);
    BrowserWindow *browser = existingBrowser(h);
    QVERIFY(browser && browser->isVisible());
    const QString expectedPath = QDir::toNativeSeparators(h.folder.filePath(u"Templates/Template_Examples/Executive_Delight.htm"_s));
    QVERIFY2(browser->view()->toPlainText().contains(expectedPath), qPrintable(browser->view()->toPlainText()));

    // Installed, two previews in a row show the second page in the same window.
    QVERIFY(installTemplates(h));
    h.click(w, u"preview"_s);
    QCOMPARE(browser->view()->documentTitle(), u"Curriculum Policy Report"_s);
    designOption(w, "GO")->click();
    h.click(w, u"preview"_s);
    QCOMPARE(existingBrowser(h), browser);
    QCOMPARE(browser->view()->source().fileName(), u"Green_Orchids.htm"_s);
    VERIFY_DIALOGS(h);
}

void TestTemplatePreview::closingTheWindows()
{
    Harness h;
    QVERIFY(installTemplates(h));
    TemplateSelect *w = openTemplateWindow(h);
    designOption(w, "OM")->click();
    h.click(w, u"preview"_s);
    QVERIFY(existingBrowser(h)->close());
    Harness::flushDeletes();
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});
    QCOMPARE(h.lifetime.lastWindowClosedCalls + h.lifetime.endProgramCalls, 0);

    // The next preview brings it back with the selected example; Back leaves it open.
    h.click(w, u"preview"_s);
    QVERIFY(existingBrowser(h) && existingBrowser(h)->isVisible());
    QCOMPARE(existingBrowser(h)->view()->source().fileName(), u"Orange_Madness.htm"_s);
    h.click(w, u"Back"_s);
    QCOMPARE(h.visibleWindows(), (QStringList{u"Std11"_s, u"browser"_s}));
    QCOMPARE(h.lifetime.lastWindowClosedCalls + h.lifetime.endProgramCalls, 0);

    // Closing the template window by its title bar closes every window.
    h.click(h.program->std11(), u"save"_s);
    QVERIFY(w->close());
    Harness::flushDeletes();
    QVERIFY(h.program->windows().isEmpty());
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 1);
}

void TestTemplatePreview::linksOpenInTheWebBrowser()
{
    Harness h;
    QVERIFY(installTemplates(h));
    BrowserWindow *browser = h.program->browser();
    const QString page = h.folder.filePath(u"Templates/Template_Examples/Orange_Madness.htm"_s);
    browser->display(page);

    emit browser->view()->anchorClicked(QUrl(u"https://example.org/policy"_s));
    emit browser->view()->anchorClicked(QUrl(u"other.htm"_s));
    emit browser->view()->anchorClicked(QUrl(u"#top"_s));
    QCOMPARE(h.shell.requests.size(), 2);
    QCOMPARE(h.shell.requests[0].verb, u"open"_s);
    QCOMPARE(h.shell.requests[0].target, u"https://example.org/policy"_s);
    QCOMPARE(h.shell.requests[1].target, h.folder.filePath(u"Templates/Template_Examples/other.htm"_s));
    QCOMPARE(browser->view()->source(), QUrl::fromLocalFile(page));
}

void TestTemplatePreview::keyboardOnly()
{
    Harness h;
    QVERIFY(installTemplates(h));
    h.fillAll();
    TemplateSelect *w = openTemplateWindow(h);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QRadioButton *ed = designOption(w, "ED");
    ed->setFocus(Qt::TabFocusReason);
    QVERIFY(!ed->isChecked());
    QTest::keyClick(ed, Qt::Key_Down);   // nothing chosen yet: the next one is
    QVERIFY(designOption(w, "OM")->isChecked());
    QCOMPARE(QApplication::focusWidget(), designOption(w, "OM"));
    QTest::keyClick(designOption(w, "OM"), Qt::Key_Down);
    QTest::keyClick(designOption(w, "GO"), Qt::Key_Down);   // round to the first
    QVERIFY(ed->isChecked());
    QTest::keyClick(ed, Qt::Key_Up);
    QTest::keyClick(designOption(w, "GO"), Qt::Key_Left);
    QVERIFY(designOption(w, "OM")->isChecked());
    QCOMPARE(w->selectedDesign()->option, u"OM"_s);

    auto *preview = w->findChild<QPushButton *>(u"preview"_s);
    preview->setFocus(Qt::TabFocusReason);
    QTest::keyClick(preview, Qt::Key_Return);
    QVERIFY(existingBrowser(h) && existingBrowser(h)->isVisible());
    QCOMPARE(existingBrowser(h)->view()->source().fileName(), u"Orange_Madness.htm"_s);
    QTest::keyClick(existingBrowser(h)->view(), Qt::Key_Escape);
    Harness::flushDeletes();
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.visibleWindows(), QStringList{u"TemplateSelect"_s});

    QTemporaryDir out;
    const QString path = out.filePath(u"report.html"_s);
    expectSavedTo(h, path);
    auto *save = w->findChild<QPushButton *>(u"Save"_s);
    save->setFocus(Qt::TabFocusReason);
    QTest::keyClick(save, Qt::Key_Enter, Qt::KeypadModifier);
    VERIFY_DIALOGS(h);
    QVERIFY(fileBytes(path).startsWith(templateHead(fileBytes(h.folder.filePath(u"Templates/Orange_Madness.htm"_s)))));
    QTest::keyClick(existingBrowser(h), Qt::Key_Escape);
    Harness::flushDeletes();
    QVERIFY(!existingBrowser(h));
    QCOMPARE(h.lifetime.lastWindowClosedCalls + h.lifetime.endProgramCalls, 0);
}

BREVANT_TEST_MAIN(TestTemplatePreview)
#include "tst_templatepreview.moc"
