// Start, the start window, the completion window's Quit, and how closing a
// window ends (or does not end) the program.
#include "harness.h"
#include "testmain.h"

#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "questionnaire/examplewindow.h"
#include "report/browserwindow.h"
#include "questionnaire/questionpage.h"
#include "updates/registerform.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

class tst_Lifetime : public QObject {
    Q_OBJECT
private slots:
    void startShowsOnlyTheStartupWindow();
    void startupAndStartWindowTexts();
    void continueResetsWorkFileStateAndShowsPage1();
    void continueShowsResponsesAlreadyInTheBoxes();
    void openHelpDoesNothingWhenTheGuideIsMissing();
    void openHelpAsksTheShellEachTime();
    void closingTheStartWindowEndsTheProgram();
    void closingAPageClosesHiddenWindowsToo();
    void closingTheStartupWindowEndsTheProgram();
    void windowsThatCloseAlone();
    void registerFormClosedByTitleBarShowsStartupAgain();
    void quitEndsAtOnce();
};

void tst_Lifetime::startShowsOnlyTheStartupWindow()
{
    Harness h;
    h.program->start();
    QCOMPARE(h.visibleWindows(), QStringList{"RegisterUpdate"});
    QCOMPARE(h.program->windows().size(), 1);
    QCOMPARE(h.program->registerUpdate()->windowTitle(), QStringLiteral("Brevant Zizazov Irivadevu"));
    QVERIFY(!h.program->registerUpdate()->updatesAvailable);
}

void tst_Lifetime::startupAndStartWindowTexts()
{
    Harness h;
    h.program->start();
    RegisterUpdate *start = h.program->registerUpdate();
    QCOMPARE(start->findChild<QLabel *>("Label1")->text(), QStringLiteral("Brevant Ruzaza Zuzivivov Software"));
    QCOMPARE(start->findChild<QPushButton *>("register")->text(), QStringLiteral("Register"));
    QCOMPARE(start->findChild<QPushButton *>("update")->text(), QStringLiteral("Check for Updates"));
    QCOMPARE(start->findChild<QPushButton *>("continue")->text(), QStringLiteral("Already Registered or Register Later"));
    h.click(start, "continue");
    QCOMPARE(h.visibleWindows(), QStringList{"Std0"});
    Std0 *std0 = h.program->std0();
    QCOMPARE(std0->windowTitle(), QStringLiteral("Brevant Policies "));
    QCOMPARE(std0->findChild<QPushButton *>("load")->text(), QStringLiteral("Load saved work"));
    QCOMPARE(std0->findChild<QPushButton *>("Command1")->text(), QStringLiteral("Continue"));
    QCOMPARE(std0->findChild<QPushButton *>("Command2")->text(), QStringLiteral("Open Help! (PDF)"));
    QCOMPARE(std0->openDialog().filter(), QStringLiteral("Dat Files (*.dat)|*.dat"));
    QVERIFY(std0->openDialog().cancelError());
    // The work-file state starts empty.
    QVERIFY(!std0->state.pFileOpened);
    QVERIFY(!std0->state.pFileClosed);
    QVERIFY(std0->state.Name_File.isEmpty());
    QVERIFY(std0->state.FileName.isEmpty());
}

void tst_Lifetime::continueResetsWorkFileStateAndShowsPage1()
{
    Harness h;
    h.program->start();
    h.click(h.program->registerUpdate(), "continue");
    Std0 *std0 = h.program->std0();
    std0->state.pFileOpened = true;
    std0->state.Name_File = "/tmp/kept.dat";
    std0->state.FileName = "/tmp/also-kept.dat";
    h.click(std0, "Command1");
    QVERIFY(!std0->state.pFileOpened);
    QVERIFY(std0->state.pFileClosed);
    QCOMPARE(std0->state.Name_File, QStringLiteral("/tmp/kept.dat"));
    QCOMPARE(std0->state.FileName, QStringLiteral("/tmp/also-kept.dat"));
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    // Std0 stays in existence, hidden, for the whole run.
    QVERIFY(h.program->existing(WindowId::Std0));
    VERIFY_DIALOGS(h);
}

void tst_Lifetime::continueShowsResponsesAlreadyInTheBoxes()
{
    Harness h;
    h.program->start();
    h.click(h.program->registerUpdate(), "continue");
    // A page filled before it was ever shown (as a load does) keeps its text.
    h.response(1)->setPlainText("loaded one");
    h.response(27)->setPlainText("loaded twenty-seven");
    QVERIFY(!h.program->page(1)->isVisible());
    h.click(h.program->std0(), "Command1");
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    QCOMPARE(h.response(1)->toPlainText(), QStringLiteral("loaded one"));
    QCOMPARE(h.response(27)->toPlainText(), QStringLiteral("loaded twenty-seven"));
}

void tst_Lifetime::openHelpDoesNothingWhenTheGuideIsMissing()
{
    Harness h;
    h.program->start();
    h.click(h.program->registerUpdate(), "continue");
    h.click(h.program->std0(), "Command2");
    // A folder where the document should be is not a document either.
    QVERIFY(QDir(h.folder.path()).mkpath("Documentation/Documentation.pdf"));
    h.click(h.program->std0(), "Command2");
    QCOMPARE(h.shell.requests.size(), 0);
    QCOMPARE(h.visibleWindows(), QStringList{"Std0"});
    VERIFY_DIALOGS(h);
}

void tst_Lifetime::openHelpAsksTheShellEachTime()
{
    Harness h;
    QVERIFY(QDir(h.folder.path()).mkpath("Documentation"));
    const QString guide = h.folder.path() + "/Documentation/Documentation.pdf";
    QFile f(guide);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\n");
    f.close();
    h.program->start();
    h.click(h.program->registerUpdate(), "continue");
    h.click(h.program->std0(), "Command2");
    h.click(h.program->std0(), "Command2");
    QCOMPARE(h.shell.requests.size(), 2);
    QCOMPARE(h.shell.requests.first().target, guide);
    QCOMPARE(h.shell.requests.first().verb, QStringLiteral("open"));
    QCOMPARE(h.shell.requests.first().showCode, 1);
    QCOMPARE(h.visibleWindows(), QStringList{"Std0"});
    // With no program for PDF files on the desktop, a message says where
    // the guide is.
    h.shell.opens = false;
    h.dialogs.expectAnyMessage("Not Opened");
    h.click(h.program->std0(), "Command2");
    VERIFY_DIALOGS(h);
    QVERIFY(h.dialogs.shownTexts.last().contains("\r\n" + QDir::toNativeSeparators(guide) + "\r\n"));
}

void tst_Lifetime::closingTheStartWindowEndsTheProgram()
{
    Harness h;
    h.program->start();
    h.click(h.program->registerUpdate(), "continue");
    h.program->std0()->close();
    Harness::flushDeletes();
    QCOMPARE(h.program->windows().size(), 0);
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 1);
    QCOMPARE(h.lifetime.endProgramCalls, 0);
}

void tst_Lifetime::closingAPageClosesHiddenWindowsToo()
{
    Harness h;
    h.continueToPage1();
    h.fillAll();
    h.click(h.program->page(1), "next");
    h.program->page(2)->showExample(3);
    QVERIFY(h.program->windows().size() >= 12);   // startup, start, ten pages, Example
    QPointer<QWidget> hiddenPage = h.program->page(7);
    h.program->page(2)->close();
    Harness::flushDeletes();
    QCOMPARE(h.program->windows().size(), 0);
    QVERIFY(hiddenPage.isNull());
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 1);
    VERIFY_DIALOGS(h);   // no question about unsaved answers
}

void tst_Lifetime::closingTheStartupWindowEndsTheProgram()
{
    Harness h;
    h.program->start();
    h.program->registerUpdate()->close();
    Harness::flushDeletes();
    QCOMPARE(h.program->windows().size(), 0);
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 1);
}

void tst_Lifetime::windowsThatCloseAlone()
{
    Harness h;
    h.continueToPage1();
    h.program->page(1)->showExample(1);
    h.program->example()->close();
    h.program->showWindow(h.program->browser());
    h.program->browser()->close();
    Harness::flushDeletes();
    QCOMPARE(h.visibleWindows(), QStringList{"Std1"});
    QVERIFY(!h.program->existing(WindowId::Example));
    QVERIFY(!h.program->existing(WindowId::Browser));
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 0);
}

void tst_Lifetime::registerFormClosedByTitleBarShowsStartupAgain()
{
    Harness h;
    h.program->start();
    h.click(h.program->registerUpdate(), "register");
    QCOMPARE(h.visibleWindows(), QStringList{"RegisterForm"});
    RegisterForm *form = h.program->registerForm();
    form->findChild<QLineEdit *>("nameText")->setText("Arts");
    h.click(form, "cancel");
    QCOMPARE(h.visibleWindows(), QStringList{"RegisterUpdate"});
    h.click(h.program->registerUpdate(), "register");
    QCOMPARE(h.program->registerForm()->findChild<QLineEdit *>("nameText")->text(), QStringLiteral("Arts"));
    h.program->registerForm()->close();
    Harness::flushDeletes();
    QCOMPARE(h.visibleWindows(), QStringList{"RegisterUpdate"});
    QCOMPARE(h.lifetime.lastWindowClosedCalls, 0);
}

void tst_Lifetime::quitEndsAtOnce()
{
    Harness h;
    h.continueToPage1();
    h.program->showWindow(h.program->std11());
    h.program->hideWindow(h.program->page(1));
    h.click(h.program->std11(), "quit");
    QCOMPARE(h.lifetime.endProgramCalls, 1);
    QCOMPARE(h.visibleWindows(), QStringList{});
    VERIFY_DIALOGS(h);
}

BREVANT_TEST_MAIN(tst_Lifetime)
#include "tst_lifetime.moc"
