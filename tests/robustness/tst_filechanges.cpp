// Files that change under the program between a dialog and the write (a
// folder made read-only, a template deleted) and a cut-short update
// database: each is reported, and nothing that was on disk before is lost.
//
// The cases that need a full disk or a folder that even the superuser
// cannot write mount a small tmpfs or a read-only bind mount. They run in
// a mount namespace of the test's own, so no mount outlives it; where the
// system does not allow that, those cases are skipped and say why.
#include "filefaultstest.h"

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

class TestFileChanges : public QObject {
    Q_OBJECT
private slots:
    void folderTurnsUnwritableAfterTheDialog_data();
    void folderTurnsUnwritableAfterTheDialog();
    void templateDeletedBetweenPreviewAndSave();
    void updateDatabaseCutInHalf_data();
    void updateDatabaseCutInHalf();
};
void TestFileChanges::folderTurnsUnwritableAfterTheDialog_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("mount");   // read-only mount, or else the folder replaced by a file
    for (bool mount : {true, false}) {
        const char *how = mount ? "read-only" : "replaced by a file";
        QTest::addRow("Save, folder %s", how) << Command::Save << mount;
        QTest::addRow("Save As, folder %s", how) << Command::SaveAs << mount;
        QTest::addRow("HTML report, folder %s", how) << Command::Report << mount;
        QTest::addRow("PDF report, folder %s", how) << Command::PdfReport << mount;
        QTest::addRow("ODT report, folder %s", how) << Command::OdtReport << mount;
    }
}

void TestFileChanges::folderTurnsUnwritableAfterTheDialog()
{
    QFETCH(Command, command);
    QFETCH(bool, mount);
    if (mount && !g_noMounts.isEmpty())
        QSKIP(qPrintable(g_noMounts));
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"folder"_s);
    const QString moved = dir.filePath(u"moved"_s);
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + u"/earlier"_s;
    const QByteArray earlier = "the earlier file, which must survive";
    QVERIFY(writeFileBytes(path, earlier));

    Harness h;
    prepare(h, command);
    if (QTest::currentTestFailed())
        return;
    bool changed = false;
    QString problem;
    h.dialogs.onDialog = [&] {
        // While the dialog is up, the folder stops taking files.
        if (changed)
            return;
        changed = true;
        if (mount) {
            problem = makeReadOnly(folder);
        } else if (!QDir().rename(folder, moved) || !writeFileBytes(folder, "a file now")) {
            problem = u"cannot replace the folder by a file"_s;
        }
    };
    const auto undo = qScopeGuard([&] {
        if (mount)
            unmount(folder);
    });
    runAndExpectRefusal(h, command, path);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(changed);
    QCOMPARE(problem, QString());

    if (mount) {
        QCOMPARE(fileBytes(path), earlier);
        QCOMPARE(filesIn(folder), QStringList{u"earlier"_s});
    } else {
        QCOMPARE(fileBytes(folder), QByteArray("a file now"));
        QCOMPARE(fileBytes(moved + u"/earlier"_s), earlier);
        QCOMPARE(filesIn(moved), QStringList{u"earlier"_s});
    }
    verifyNothingTookHold(h, command);
}

void TestFileChanges::templateDeletedBetweenPreviewAndSave()
{
    QTemporaryDir out;
    const QString path = out.filePath(u"report.html"_s);
    QVERIFY(writeFileBytes(path, "earlier report"));

    Harness h;
    prepare(h, Command::Report);
    TemplateSelect *w = h.program->templateSelect();
    // The example page of the design is shown; then its template goes.
    QVERIFY(QDir().mkpath(h.folder.filePath(u"Templates/Template_Examples"_s)));
    const QString example = h.folder.filePath(u"Templates/Template_Examples/Orange_Madness.htm"_s);
    QVERIFY(QFile::copy(builtProgramFolder()
                            + u"/Templates/Template_Examples/Orange_Madness.htm"_s,
                        example));
    h.click(w, u"preview"_s);
    auto *browser = qobject_cast<BrowserWindow *>(h.program->existing(WindowId::Browser));
    QVERIFY(browser && browser->isVisible());
    const QString templatePath = h.program->programPath(reportDesigns().at(1).templatePath);
    QVERIFY(QFile::remove(templatePath));

    h.dialogs.expectSave(kReportFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(QString());
    h.click(w, u"Save"_s);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QDir::toNativeSeparators(templatePath)), qPrintable(text));
    QVERIFY2(text.contains(u"No such file"_s), qPrintable(text));
    QCOMPARE(fileBytes(path), QByteArray("earlier report"));
    QCOMPARE(filesIn(out.path()), QStringList{u"report.html"_s});
    // The browser still shows the example page, and both windows stay.
    QCOMPARE(browser->view()->source(), QUrl::fromLocalFile(example));
    QVERIFY(browser->isVisible() && w->isVisible());
}

void TestFileChanges::updateDatabaseCutInHalf_data()
{
    QTest::addColumn<QString>("sql");   // empty: the shipped database
    QTest::newRow("shipped database") << QString();
    // Many rows, the one that announces updates in the half that is gone.
    QString sql = u"CREATE TABLE updates (Version TEXT, Updates TEXT);"_s;
    for (int i = 0; i < 1500; ++i)
        sql += u"INSERT INTO updates VALUES ('0.%1', 'False');"_s.arg(i);
    sql += u"INSERT INTO updates VALUES ('1.0', 'True');"_s;
    QTest::newRow("announcing row in the lost half") << sql;
}

void TestFileChanges::updateDatabaseCutInHalf()
{
    QFETCH(QString, sql);
    Harness h;
    const QString path = h.program->programPath(u"/Database/update.db"_s);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (sql.isEmpty()) {
        QVERIFY(QFile::copy(builtProgramFolder() + u"/Database/update.db"_s, path));
    } else {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"writer"_s);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(db.transaction());
            for (const QString &statement : sql.split(u';', Qt::SkipEmptyParts))
                QVERIFY(q.exec(statement));
            QVERIFY(db.commit());
            db.close();
        }
        QSqlDatabase::removeDatabase(u"writer"_s);
    }
    const QByteArray whole = fileBytes(path);
    QVERIFY(whole.size() >= 4096);
    const QByteArray half = whole.left(whole.size() / 2);
    QVERIFY(writeFileBytes(path, half));

    h.program->start();
    h.dialogs.expectAnyMessage(u"Update Check Failed"_s);
    h.click(h.program->registerUpdate(), u"update"_s);
    VERIFY_DIALOGS(h);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.startsWith(u"Could not check for updates: "_s), qPrintable(text));
    QVERIFY2(text.contains(u"malformed"_s), qPrintable(text));
    QVERIFY(!h.program->registerUpdate()->updatesAvailable);
    QVERIFY(h.shell.requests.isEmpty());
    // The check only reads: the file is as it was, with nothing beside it.
    QCOMPARE(fileBytes(path), half);
    QCOMPARE(filesIn(QFileInfo(path).path()), QStringList{u"update.db"_s});
}

int main(int argc, char *argv[])
{
    g_noMounts = privateMounts();   // before the application starts any thread
    chooseOffscreenPlatform();
    QApplication app(argc, argv);
    TestFileChanges test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filechanges.moc"
