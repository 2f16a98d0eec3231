#include "harness.h"
#include "testmain.h"

#include "app/registerupdate.h"
#include "updates/updatecheck.h"
#include "updates/updatedatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

namespace {

const QString kNoUpdates = QStringLiteral("No updates available. Try back later...");
const QString kUpdates = QStringLiteral("Updates available. Redirecting to website...");

// Writes an SQLite file from SQL statements separated by ';'.
void writeDatabase(const QString &path, const QString &sql)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &statement : sql.split(u';', Qt::SkipEmptyParts))
            QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("writer"));
}

// Builds the new file beside the old one and moves it over, as an
// installer replacing the database would.
void replaceDatabase(const QString &path, const QString &sql)
{
    const QString fresh = path + QStringLiteral(".fresh");
    writeDatabase(fresh, sql);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(fresh, path));
}

const QString kTable = QStringLiteral("CREATE TABLE updates (Version TEXT, Updates TEXT);");

QString rows(std::initializer_list<const char *> values)
{
    QString sql = kTable;
    for (const char *v : values)
        sql += QStringLiteral("INSERT INTO updates VALUES (%1);").arg(QLatin1String(v));
    return sql;
}

QString databasePath(Harness &h)
{
    return h.program->programPath(QStringLiteral("/Database/update.db"));
}

// One click on "Check for Updates", expecting the given message.
void check(Harness &h, bool expectUpdates)
{
    if (expectUpdates)
        h.dialogs.expectMessage(kUpdates, QStringLiteral("Updates Available"));
    else
        h.dialogs.expectMessage(kNoUpdates, QStringLiteral("No Updates Available"));
    h.click(h.program->registerUpdate(), QStringLiteral("update"));
}

} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void decidesFromEveryRow_data();
    void decidesFromEveryRow();
    void followsTheFileAsItIsNow();
    void failuresAreReported_data();
    void failuresAreReported();
    void shippedDatabaseAnnouncesNothing();
};

void UpdateCheckTest::decidesFromEveryRow_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("updates");
    QTest::newRow("single matching row") << rows({"'1.0', 'True'"}) << true;
    QTest::newRow("other updates text") << rows({"'1.0', 'False'"}) << false;
    QTest::newRow("other version") << rows({"'1.1', 'True'"}) << false;
    QTest::newRow("version with a trailing blank") << rows({"'1.0 ', 'True'"}) << false;
    QTest::newRow("lower case true") << rows({"'1.0', 'true'"}) << false;
    QTest::newRow("upper case TRUE") << rows({"'1.0', 'TRUE'"}) << false;
    QTest::newRow("null fields") << rows({"NULL, 'True'", "'1.0', NULL"}) << false;
    QTest::newRow("empty table") << kTable << false;
    QTest::newRow("matching row first") << rows({"'1.0', 'True'", "'1.0', 'False'"}) << true;
    QTest::newRow("matching row last") << rows({"'0.9', 'False'", "'1.0', 'True'"}) << true;
    QTest::newRow("matching row in the middle")
        << rows({"'0.9', 'True'", "'1.0', 'True'", "'2.0', 'False'"}) << true;
    QTest::newRow("other columns and tables")
        << QStringLiteral("CREATE TABLE other (x TEXT);"
                          "CREATE TABLE updates (Id INTEGER, Updates TEXT, Note TEXT, Version TEXT);"
                          "INSERT INTO updates VALUES (1, 'True', 'n', '1.0');")
        << true;
}

void UpdateCheckTest::decidesFromEveryRow()
{
    QFETCH(QString, sql);
    QFETCH(bool, updates);
    Harness h;
    writeDatabase(databasePath(h), sql);
    h.program->start();
    check(h, updates);
    VERIFY_DIALOGS(h);
    RegisterUpdate *window = h.program->registerUpdate();
    QCOMPARE(window->updatesAvailable, updates);
    QCOMPARE(h.shell.requests.size(), updates ? 1 : 0);
    if (updates) {
        const FakeShell::Request &r = h.shell.requests.first();
        QCOMPARE(r.verb, QStringLiteral("Open"));
        QCOMPARE(r.target, QString::fromUtf16(kUpdatePage));
        QVERIFY(r.parameters.isEmpty() && r.directory.isEmpty());
        QCOMPARE(r.showCode, 3);
    }
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterUpdate")});
}

void UpdateCheckTest::followsTheFileAsItIsNow()
{
    Harness h;
    const QString path = databasePath(h);
    writeDatabase(path, rows({"'1.0', 'True'"}));
    h.program->start();
    RegisterUpdate *window = h.program->registerUpdate();

    check(h, true);
    check(h, true);
    QCOMPARE(h.shell.requests.size(), 2);

    replaceDatabase(path, rows({"'1.0', 'False'"}));
    check(h, false);
    QVERIFY(!window->updatesAvailable);

    replaceDatabase(path, rows({"'1.0', 'True'"}));
    check(h, true);
    QVERIFY(window->updatesAvailable);

    // An empty table announces nothing, whatever the check before found.
    replaceDatabase(path, kTable);
    check(h, false);
    QVERIFY(!window->updatesAvailable);
    QCOMPARE(h.shell.requests.size(), 3);
    VERIFY_DIALOGS(h);
    // No connection is left holding the file between clicks.
    QVERIFY(QSqlDatabase::connectionNames().isEmpty());
}

void UpdateCheckTest::failuresAreReported_data()
{
    QTest::addColumn<QString>("sql");        // null: no file
    QTest::addColumn<QByteArray>("content"); // raw file content instead of SQL
    QTest::addColumn<QString>("reason");
    QTest::newRow("file missing") << QString() << QByteArray() << QStringLiteral("does not exist");
    QTest::newRow("table missing")
        << QStringLiteral("CREATE TABLE versions (Version TEXT, Updates TEXT);") << QByteArray()
        << QStringLiteral("no such table: updates");
    QTest::newRow("column Version missing")
        << QStringLiteral("CREATE TABLE updates (Release TEXT, Updates TEXT);"
                          "INSERT INTO updates VALUES ('1.0', 'True');")
        << QByteArray() << QStringLiteral("no such column: Version");
    QTest::newRow("column Updates missing")
        << QStringLiteral("CREATE TABLE updates (Version TEXT);") << QByteArray()
        << QStringLiteral("no such column: Updates");
    QTest::newRow("not a database") << QString() << QByteArray(4096, 'x')
                                    << QStringLiteral("file is not a database");
}

void UpdateCheckTest::failuresAreReported()
{
    QFETCH(QString, sql);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    Harness h;
    const QString path = databasePath(h);
    // A check that found updates before must not count once the file fails.
    writeDatabase(path, rows({"'1.0', 'True'"}));
    h.program->start();
    check(h, true);
    QFile::remove(path);
    if (!sql.isNull()) {
        writeDatabase(path, sql);
    } else if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    h.dialogs.expectAnyMessage(QStringLiteral("Update Check Failed"));
    h.click(h.program->registerUpdate(), QStringLiteral("update"));
    VERIFY_DIALOGS(h);
    const QString shown = h.dialogs.shownTexts.last();
    QVERIFY2(shown.startsWith(QStringLiteral("Could not check for updates: ")), qPrintable(shown));
    QVERIFY2(shown.contains(reason), qPrintable(shown));
    QVERIFY(!h.program->registerUpdate()->updatesAvailable);
    QCOMPARE(h.shell.requests.size(), 1);
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterUpdate")});
    // The read-only check never creates the file it did not find.
    QCOMPARE(QFile::exists(path), !sql.isNull() || !content.isEmpty());
}

void UpdateCheckTest::shippedDatabaseAnnouncesNothing()
{
    const UpdateReading reading = readUpdateDatabase(builtProgramFolder() + QStringLiteral("/Database/update.db"));
    QVERIFY2(reading.ok, qPrintable(reading.error));
    QCOMPARE(reading.rows.size(), 1);
    QCOMPARE(reading.rows.first().version, std::optional<QString>(QStringLiteral("1.0")));
    QCOMPARE(reading.rows.first().updates, std::optional<QString>(QStringLiteral("False")));
    QVERIFY(!updatesAnnounced(reading.rows));
}

BREVANT_TEST_MAIN(UpdateCheckTest)
#include "tst_updatecheck.moc"
