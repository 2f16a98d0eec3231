// Killing the program while it saves never leaves a broken work file: the
// file on disk is always the complete earlier work or the complete new one.
#include "core/workfileformat.h"
#include "files.h"
#include "workversions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace brevant;
using namespace brevant::test;

namespace {

// One run of the helper: killed `delay` ms after it began Save number
// `target`, or after it finished Save number `target` when delay < 0.
struct Run {
    QStringList lines;     // what the helper wrote, line by line
    QByteArray errors;     // its error output
    bool killed = false;   // ended by the kill, not by itself
    qint64 saveMs = 0;     // how long Save number `target` took (delay < 0)
};

Run runHelper(const QString &path, int target, int delay)
{
    Run run;
    QProcess helper;
    helper.setProgram(QStringLiteral(BREVANT_SAVEHELPER));
    helper.setArguments({path});
    QTimer killer;
    killer.setSingleShot(true);
    killer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&killer, &QTimer::timeout, &helper, &QProcess::kill);
    QElapsedTimer clock;
    QByteArray pending;
    const QString begin = QStringLiteral("begin %1").arg(target);
    const QString saved = QStringLiteral("saved %1").arg(target);
    QObject::connect(&helper, &QProcess::readyReadStandardOutput, [&] {
        pending += helper.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLatin1(pending.left(end));
            pending.remove(0, end + 1);
            run.lines << line;
            if (line == begin) {
                clock.start();
                if (delay >= 0)
                    killer.start(delay);
            } else if (line == saved && delay < 0) {
                run.saveMs = clock.elapsed();
                helper.kill();
            }
        }
    });
    QSignalSpy finished(&helper, &QProcess::finished);
    helper.start();
    if (!finished.wait(120000))
        helper.kill();
    run.killed = helper.exitStatus() == QProcess::CrashExit;
    run.errors = helper.readAllStandardError();
    return run;
}

} // namespace

class TestKillWhileSaving : public QObject {
    Q_OBJECT
private slots:
    void fileIsAlwaysTheEarlierOrTheNewWork();
};

void TestKillWhileSaving::fileIsAlwaysTheEarlierOrTheNewWork()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("work.dat"));
    const QByteArray versions[2] = {TextToFile(largeWork(0)), TextToFile(largeWork(1))};

    // How long one Save takes here: the kills are spread over that time.
    QFile::remove(path);
    const Run calibration = runHelper(path, 2, -1);
    QVERIFY2(calibration.killed, calibration.errors.constData());
    QVERIFY2(calibration.lines.contains(QStringLiteral("saved 2")), calibration.errors.constData());
    QCOMPARE(fileBytes(path), versions[0]);   // saves alternate 1, 0, 1 ...
    const qint64 saveMs = qMax<qint64>(calibration.saveMs, 1);

    constexpr int kKills = 36;
    int duringSave = 0;
    int newWork = 0;
    for (int i = 0; i < kKills; ++i) {
        // Start from the complete earlier work; Save number 1 writes
        // version 1 over it, number 2 version 0 again, number 3 version 1.
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        QCOMPARE(earlier.write(versions[0]), versions[0].size());
        earlier.close();

        const int target = 1 + i % 3;
        const int delay = int(i * saveMs * 5 / (4 * kKills));
        const Run run = runHelper(path, target, delay);
        QVERIFY2(run.killed, run.errors.constData());
        if (!run.lines.isEmpty() && run.lines.last().startsWith(QLatin1String("begin")))
            ++duringSave;

        const QByteArray onDisk = fileBytes(path);
        const bool isOld = onDisk == versions[(target + 1) % 2];
        const bool isNew = onDisk == versions[target % 2];
        QVERIFY2(isOld || isNew,
                 qPrintable(QStringLiteral("killed %1 ms into Save %2: the file holds %3 bytes, "
                                           "neither the earlier %4 nor the new %5")
                                .arg(delay)
                                .arg(target)
                                .arg(onDisk.size())
                                .arg(versions[(target + 1) % 2].size())
                                .arg(versions[target % 2].size())));
        if (isNew && !isOld)
            ++newWork;
    }
    qInfo("%d kills, %d during a Save (one Save takes about %lld ms), %d left the new work",
          kKills, duringSave, saveMs, newWork);
    // The kills are aimed inside a Save; were none there, nothing was shown.
    QVERIFY(duringSave > 0);
}

QTEST_GUILESS_MAIN(TestKillWhileSaving)
#include "tst_killwhilesaving.moc"
