// What the program knows of a work file without any window: the
// fingerprint taken as the file is written (also when the writer goes over
// it again in UTF-8), the check that tells a real change from a touch, the
// lock file as office suites write it, and the watch that tells a change
// once.
#include "core/workfileformat.h"
#include "core/workfileread.h"
#include "files.h"
#include "io/files.h"
#include "workfile/fileguard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList responses(const QString &extra)
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i)
        texts << u"Response %1 %2"_s.arg(i).arg(extra);
    return texts;
}

FileIdentity writeWork(const QString &path, const QStringList &texts)
{
    FileIdentity written;
    QString error;
    if (!writeFileSafely(path, [&texts](QIODevice &out) { return TextToFile(out, texts); }, &error, &written))
        qWarning("cannot write %s: %s", qPrintable(path), qPrintable(error));
    return written;
}

// Sets a file's modification time, as a copy back or a sync tool would.
void setTime(const QString &path, const QDateTime &when)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

class TestFileGuard : public QObject {
    Q_OBJECT
private slots:
    void fingerprintTakenAsWritten_data();
    void fingerprintTakenAsWritten();
    void checkTellsChangeFromTouch();
    void lockFileRoundTrip();
    void lockJudgedStaleOrLive();
    void watchTellsOnceAndSettles();
};

void TestFileGuard::fingerprintTakenAsWritten_data()
{
    QTest::addColumn<QString>("extra");
    QTest::newRow("Windows-1252") << u"caf\u00e9"_s;
    // The writer starts in the code page and goes over it in UTF-8.
    QTest::newRow("UTF-8 over the code page") << u"\u2265 \u03b1\u03b2"_s;
}

void TestFileGuard::fingerprintTakenAsWritten()
{
    QFETCH(QString, extra);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"work.dat"_s);
    QVERIFY(writeFileBytes(path, QByteArray(100000, 'x')));   // longer than what replaces it
    const FileIdentity written = writeWork(path, responses(extra));
    const QByteArray bytes = fileBytes(path);
    QCOMPARE(written.size, bytes.size());
    QCOMPARE(written.fingerprint, Fingerprint::of(bytes));
    QVERIFY(written.sameStat(FileIdentity::at(path)));
    // The reader takes the same identity.
    const WorkFileReading read = TextFromFile(path);
    QVERIFY(read.ok);
    QVERIFY(read.identity.sameStat(written));
    QCOMPARE(read.identity.fingerprint, written.fingerprint);
}

void TestFileGuard::checkTellsChangeFromTouch()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"work.dat"_s);
    const FileIdentity seen = writeWork(path, responses(u"ours"_s));
    QCOMPARE(checkFile(path, seen).change, DiskChange::Unchanged);

    // Touched, and copied back the same: the bytes tell it is the same.
    setTime(path, QDateTime::currentDateTime().addSecs(-3600));
    QCOMPARE(checkFile(path, seen).change, DiskChange::Unchanged);
    QVERIFY(writeFileBytes(path, fileBytes(path)));
    QCOMPARE(checkFile(path, seen).change, DiskChange::Unchanged);

    // The same size and time, other bytes (a colleague's edit within the
    // time's resolution, written by renaming over it): the file's inode tells.
    const QByteArray ours = fileBytes(path);
    QByteArray theirs = ours;
    theirs[0] = 'X';
    const QString other = dir.filePath(u"theirs"_s);
    QVERIFY(writeFileBytes(other, theirs));
    setTime(other, seen.modified());
    QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) == 0);
    QCOMPARE(checkFile(path, seen).change, DiskChange::Changed);

    QVERIFY(QFile::remove(path));
    QCOMPARE(checkFile(path, seen).change, DiskChange::Removed);
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(checkFile(path, seen).change, DiskChange::NotAFile);
}

void TestFileGuard::lockFileRoundTrip()
{
    LockOwner owner;
    owner.fullName = u"Dana Okafor, Chair"_s;   // a comma in a field
    owner.host = u"dept-pc7"_s;
    owner.user = u"dokafor"_s;
    owner.since = QDateTime(QDate(2026, 12, 8), QTime(9, 41));
    owner.dataFolder = u"file:///home/dokafor/.local/share/x;y"_s;
    owner.pid = 4242;
    const QByteArray bytes = encodeLock(owner);
    QCOMPARE(bytes, QByteArray("Dana Okafor\\, Chair,dept-pc7,dokafor,08.12.2026 09:41,"
                               "file:///home/dokafor/.local/share/x\\;y,4242;"));
    const std::optional<LockOwner> back = decodeLock(bytes);
    QVERIFY(back);
    QCOMPARE(back->fullName, owner.fullName);
    QCOMPARE(back->since, owner.since);
    QCOMPARE(back->dataFolder, owner.dataFolder);
    QCOMPARE(back->pid, owner.pid);

    // As an office suite writes it: no process id.
    const std::optional<LockOwner> office =
        decodeLock("Dana Okafor,dept-pc7,dokafor,08.12.2026 09:41,file:///home/dokafor/.config/x/4;");
    QVERIFY(office);
    QCOMPARE(office->user, u"dokafor"_s);
    QCOMPARE(office->pid, 0);
    QVERIFY(!decodeLock("not a lock"));
    QCOMPARE(lockFilePath(u"/share/dept/self study.dat"_s), u"/share/dept/.~lock.self study.dat#"_s);
}

void TestFileGuard::lockJudgedStaleOrLive()
{
    const LockOwner me = LockOwner::thisProcess(QString());
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(judgeLock(me, me, now), LockState::Ours);

    // Another process on this host: live while it runs, stale once it is gone.
    QProcess sleeper;
    sleeper.start(u"sleep"_s, {u"30"_s});
    QVERIFY(sleeper.waitForStarted());
    LockOwner other = me;
    other.pid = sleeper.processId();
    QCOMPARE(judgeLock(other, me, now), LockState::Theirs);
    sleeper.kill();
    QVERIFY(sleeper.waitForFinished());
    QCOMPARE(judgeLock(other, me, now), LockState::Stale);

    // Another host: only the age tells.
    LockOwner elsewhere = other;
    elsewhere.host = u"another-host"_s;
    elsewhere.since = now.addSecs(-3600);
    QCOMPARE(judgeLock(elsewhere, me, now), LockState::Theirs);
    elsewhere.since = now.addDays(-2);
    QCOMPARE(judgeLock(elsewhere, me, now), LockState::Stale);

    // Written and released; another's lock is never removed.
    QTemporaryDir dir;
    const QString file = dir.filePath(u"work.dat"_s);
    QVERIFY(writeLock(file, me, nullptr));
    QCOMPARE(lookAtLock(file, me).state, LockState::Ours);
    releaseLock(file, me);
    QVERIFY(!QFile::exists(lockFilePath(file)));
    elsewhere.since = now;
    QVERIFY(writeLock(file, elsewhere, nullptr));
    releaseLock(file, me);
    QCOMPARE(lookAtLock(file, me).state, LockState::Theirs);
}

void TestFileGuard::watchTellsOnceAndSettles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"work.dat"_s);
    const QString review = path + u".review.json"_s;
    FileGuard guard(LockOwner::thisProcess(QString()));
    // A companion file is covered by one call.
    guard.addCompanion([](const QString &work) { return work + u".review.json"_s; });
    QCOMPARE(guard.coveredPaths(path), (QStringList{path, review}));
    QSignalSpy told(&guard, &FileGuard::changedOnDisk);
    QSignalSpy settled(&guard, &FileGuard::settled);

    guard.seen(path, writeWork(path, responses(u"ours"_s)));
    QVERIFY(writeFileBytes(review, "{}"));
    guard.seen(review, FileIdentity::at(review));
    guard.hold(FileGuard::Slot::Current, path);
    QCOMPARE(lookAtLock(path, guard.me()).state, LockState::Ours);

    // Another program writes the work file: told once, however often looked.
    writeWork(path, responses(u"theirs"_s));
    QTRY_COMPARE(told.size(), 1);
    guard.lookNow();
    guard.lookNow();
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.first().at(1).toString(), path);
    // And the companion too.
    QVERIFY(writeFileBytes(review, "{\"comments\": 1}"));
    guard.lookNow();
    QCOMPARE(told.size(), 2);
    QCOMPARE(told.last().at(1).toString(), review);

    // Written by this program again: settled once both are seen.
    guard.seen(path, writeWork(path, responses(u"merged"_s)));
    QCOMPARE(settled.size(), 0);
    guard.seen(review, FileIdentity::at(review));
    QCOMPARE(settled.size(), 1);

    // Let go: the lock goes, and nothing more is told.
    guard.releaseAll();
    QVERIFY(!QFile::exists(lockFilePath(path)));
    writeWork(path, responses(u"later"_s));
    guard.lookNow();
    QCOMPARE(told.size(), 2);
}

QTEST_GUILESS_MAIN(TestFileGuard)
#include "tst_fileguard.moc"
