// Killing the program while the user types loses at most the last two
// seconds of typing: the next start offers exactly what had been typed
// until then, every character of it, and never a copy of a program that
// still runs. Ending it by a signal (a logout, a closed terminal) loses
// nothing.
#include "app/registerupdate.h"
#include "harness.h"
#include "testmain.h"
#include "typingscript.h"
#include "workfile/recoveryoffer.h"

#include "questionnaire/questionpage.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace brevant;
using namespace brevant::test;

namespace {

qint64 now()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

// The helper typing into the program on data, sent `signal` `delay` ms
// after it began; `during` runs a second after it began, while it still
// types.
struct Run {
    QList<qint64> stateTimes;   // when the helper had typed 1, 2, ... words
    qint64 killedAt = 0;
    QByteArray errors;
    bool killed = false;        // it did not end of its own
};

Run typeAndKill(const QString &data, int seed, int delay, const std::function<void()> &during,
                int signal = SIGKILL)
{
    Run run;
    QProcess helper;
    helper.setProgram(QStringLiteral(BREVANT_TYPINGHELPER));
    helper.setArguments({data, QString::number(seed)});
    QTimer killer;
    killer.setSingleShot(true);
    killer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&killer, &QTimer::timeout, &helper, [&] {
        run.killedAt = now();
        ::kill(pid_t(helper.processId()), signal);
    });
    QTimer meanwhile;
    meanwhile.setSingleShot(true);
    QObject::connect(&meanwhile, &QTimer::timeout, &helper, [&] {
        if (during)
            during();
    });
    QByteArray pending;
    QObject::connect(&helper, &QProcess::readyReadStandardOutput, [&] {
        pending += helper.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            pending.remove(0, end + 1);
            if (words.value(0) == "ready") {
                killer.start(delay);
                meanwhile.start(qMin(1000, delay / 2));
            } else if (words.value(0) == "state") {
                run.stateTimes << words.value(2).toLongLong();
            }
        }
    });
    QSignalSpy finished(&helper, &QProcess::finished);
    helper.start();
    if (!finished.wait(60000))
        helper.kill();
    run.killed = helper.exitStatus() == QProcess::CrashExit || helper.exitCode() != 0;
    run.errors = helper.readAllStandardError();
    return run;
}

} // namespace

class TestKillWhileTyping : public QObject {
    Q_OBJECT
private slots:
    void nextStartOffersWhatWasTyped();
    void signalsKeepEverythingTyped();
};

void TestKillWhileTyping::nextStartOffersWhatWasTyped()
{
    constexpr int kKills = 8;
    int offered = 0;
    for (int i = 0; i < kKills; ++i) {
        QTemporaryDir data;
        QVERIFY(data.isValid());
        const int delay = 400 + i * 700;
        bool checkedRunning = false;
        // While the helper types, a second program on the same data sees
        // no copy to offer: the helper's copy is its own.
        const Run run = typeAndKill(data.path(), i, delay, [&] {
            Harness second({.dataFolder = data.path()});
            second.program->start();
            second.click(second.program->registerUpdate(), QStringLiteral("continue"));
            checkedRunning = second.problems().isEmpty();
        });
        QVERIFY2(run.killed, run.errors.constData());
        QVERIFY(checkedRunning);

        // Everything typed two seconds before the kill must come back.
        qsizetype required = 0;
        while (required < run.stateTimes.size() && run.stateTimes.at(required) <= run.killedAt - 2000)
            ++required;

        Harness h({.dataFolder = data.path()});
        h.dialogs.expectAnyMessage(recoveryOfferTitle(), Buttons::YesNo, Answer::Yes);
        h.program->start();
        h.click(h.program->registerUpdate(), QStringLiteral("continue"));
        if (!h.problems().isEmpty()) {
            // No copy offered: nothing may have been typed by then.
            QVERIFY2(required == 0, qPrintable(QStringLiteral("killed %1 ms in, %2 words typed two seconds "
                                                              "before, nothing offered")
                                                   .arg(delay)
                                                   .arg(required)));
            h.dialogs.reset();
            continue;
        }
        ++offered;
        const QString restored = h.program->responseBox(1)->document()->toRawText().replace(
            QChar::ParagraphSeparator, QLatin1Char('\n'));
        int words = -1;
        for (int n = 0; n <= run.stateTimes.size(); ++n) {
            if (typedText(n) == restored)
                words = n;
        }
        QVERIFY2(words >= 0, qPrintable(QStringLiteral("killed %1 ms in: the offered text is none of "
                                                       "the states typed: \"%2\"")
                                            .arg(delay)
                                            .arg(restored)));
        QVERIFY2(words >= required, qPrintable(QStringLiteral("killed %1 ms in: %2 words offered, %3 typed "
                                                              "two seconds before the kill")
                                                   .arg(delay)
                                                   .arg(words)
                                                   .arg(required)));
        QCOMPARE(h.program->page(1)->findChild<QComboBox *>(QStringLiteral("no1"))->currentText(),
                 QStringLiteral("yes"));
    }
    qInfo("%d kills, %d copies offered", kKills, offered);
    QVERIFY(offered >= kKills / 2);
}

// SIGTERM, SIGHUP and SIGINT while the user types: the program ends of its
// own (no window left, no question), with every word typed before the
// signal in the copy the next start offers.
void TestKillWhileTyping::signalsKeepEverythingTyped()
{
    int seed = 100;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir data;
        const Run run = typeAndKill(data.path(), seed++, 1500, nullptr, signal);
        QVERIFY2(!run.killed, run.errors.constData());
        qsizetype typed = 0;
        while (typed < run.stateTimes.size() && run.stateTimes.at(typed) <= run.killedAt)
            ++typed;
        QVERIFY(typed > 0);

        Harness h({.dataFolder = data.path()});
        h.dialogs.expectAnyMessage(recoveryOfferTitle(), Buttons::YesNo, Answer::Yes);
        h.program->start();
        h.click(h.program->registerUpdate(), QStringLiteral("continue"));
        VERIFY_DIALOGS(h);
        const QString restored =
            h.program->questionnaire().rawResponse(1).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        QVERIFY2(restored.startsWith(typedText(int(typed))),
                 qPrintable(QStringLiteral("signal %1: \"%2\" lacks words typed before it (%3 words)")
                                .arg(signal)
                                .arg(restored)
                                .arg(typed)));
    }
}

BREVANT_TEST_MAIN(TestKillWhileTyping)
#include "tst_killwhiletyping.moc"
