// Start-up: the program's start-up probe and the bare window are each
// started as a child, and report their first paint. The time runs from just before the child
// is spawned to the moment its window has painted once; the memory is the
// child's peak resident size as the kernel reports it when it ends.

#include "benches.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace bench {

namespace {

struct ChildRun {
    double ms = 0;
    double peakMiB = 0;
};

QList<QByteArray> childEnvironment(const QString &platform)
{
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("QT_QPA_PLATFORM="))
            env << entry;
    }
    env << "QT_QPA_PLATFORM=" + platform.toLocal8Bit();
    return env;
}

ChildRun runToFirstPaint(const QString &program, const QList<QByteArray> &env, const char *option = nullptr)
{
    int out[2];
    if (::pipe(out) != 0)
        fail(QStringLiteral("no pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    const QByteArray path = program.toLocal8Bit();
    char *argv[] = {const_cast<char *>(path.constData()), const_cast<char *>(option), nullptr};
    QList<char *> envp;
    for (const QByteArray &e : env)
        envp << const_cast<char *>(e.constData());
    envp << nullptr;

    pid_t pid = 0;
    const auto started = std::chrono::steady_clock::now();
    const int spawned = ::posix_spawn(&pid, path.constData(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        fail(QStringLiteral("%1 could not be started: %2").arg(program, QString::fromLocal8Bit(std::strerror(spawned))));
    }

    // Everything the child prints, until it closes its output or takes too long.
    QByteArray printed;
    char buffer[4096];
    bool timedOut = false;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 30000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        printed.append(buffer, n);
    }
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (timedOut)
        fail(QStringLiteral("%1 did not paint its window within 30 s").arg(program));

    const qsizetype at = printed.indexOf("first-paint ");
    if (at < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(QStringLiteral("%1 gave no first-paint report (exit status %2): %3")
                 .arg(program).arg(status).arg(QString::fromLocal8Bit(printed)));
    const qint64 paintedNs = printed.mid(at + 12).split('\n').first().trimmed().toLongLong();
    const qint64 startedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
    ChildRun run;
    run.ms = double(paintedNs - startedNs) / 1e6;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;   // ru_maxrss is in KiB
    return run;
}

} // namespace

QList<Row> startupRows(const Settings &settings)
{
    const QList<QByteArray> env = childEnvironment(settings.startupPlatform);
    // One untimed start each fills the file system and font caches.
    runToFirstPaint(settings.program, env);
    runToFirstPaint(settings.bareWindow, env);
    runToFirstPaint(settings.bareWindow, env, "--text");

    // In turns, each side first as often as second.
    QList<double> oursMs, bareMs, textMs, oursMiB, bareMiB;
    for (int i = 0; i < settings.startupRuns; ++i) {
        const bool oursFirst = i % 2 == 0;
        const ChildRun a = oursFirst ? runToFirstPaint(settings.program, env) : ChildRun{};
        const ChildRun b = runToFirstPaint(settings.bareWindow, env);
        textMs << runToFirstPaint(settings.bareWindow, env, "--text").ms;
        const ChildRun c = oursFirst ? a : runToFirstPaint(settings.program, env);
        oursMs << c.ms;
        oursMiB << c.peakMiB;
        bareMs << b.ms;
        bareMiB << b.peakMiB;
    }

    // Against the bare window showing one label in the program's face: the
    // first text a window shows loads the font configuration and a face,
    // which no window that shows text can do without.
    Row time;
    time.figure = QStringLiteral("Start-up");
    time.unit = QStringLiteral("ms");
    time.ours = median(oursMs);
    time.baseline = median(textMs);
    time.runs = settings.startupRuns;
    time.goal = 1.2;
    time.goalText = QStringLiteral("<= 1.2");
    time.note = QStringLiteral("baseline: the bare window with one label in the program's face");
    Row memory;
    memory.figure = QStringLiteral("Memory at start-up");
    memory.unit = QStringLiteral("MiB");
    memory.ours = median(oursMiB);
    memory.baseline = median(bareMiB);
    memory.runs = settings.startupRuns;
    memory.goal = 1.2;
    memory.goalText = QStringLiteral("<= 1.2");
    // Against a window that shows no text at all, as a record.
    Row empty;
    empty.figure = QStringLiteral("Start-up, against an empty window");
    empty.unit = QStringLiteral("ms");
    empty.ours = time.ours;
    empty.baseline = median(bareMs);
    empty.runs = settings.startupRuns;
    empty.recordOnly = true;
    empty.goalText = QStringLiteral("record");
    empty.note = QStringLiteral("baseline: the bare window with nothing in it");
    return {time, empty, memory};
}

} // namespace bench
