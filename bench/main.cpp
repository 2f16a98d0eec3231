// The benchmark suite. Every figure is the median of several runs of the
// program's own code, set against a baseline measured in the same run;
// the ratio between them is what counts, as absolute times differ from
// machine to machine. Prints one table and writes the same rows as CSV.
//
//   brevant_bench [--runs N] [--startup-runs N] [--csv FILE] [--only LIST] [--keep-files]
//   LIST: any of startup,save,check,load,html,shown,typing,recovery,navigation,print,scaling,peer,documents,cli,
//   separated by commas

#include "benches.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTextStream>

#include <cstdio>

namespace {

QString processorName()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (!cpuinfo.open(QIODevice::ReadOnly))
        return QString();
    // A file of /proc has no size, so read it whole rather than to atEnd().
    for (const QByteArray &line : cpuinfo.readAll().split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromLocal8Bit(line.mid(line.indexOf(':') + 1)).trimmed();
    }
    return QStringLiteral("unknown processor");
}

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns at every window raised or sized; the
// windows are never seen here, so those warnings say nothing.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    // The start-up runs go to the display the bench was given (xvfb-run);
    // the commands run in this process, offscreen.
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    const QString startupPlatform = display ? QStringLiteral("xcb") : QStringLiteral("offscreen");
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir work;
    if (!work.isValid())
        bench::fail(QStringLiteral("no temporary folder: ") + work.errorString());
    // Qt wants a private runtime folder; without one every start warns.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = work.filePath(QStringLiteral("runtime"));
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        if (QDir().mkdir(runtime) && QFile::setPermissions(runtime, owner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Benchmarks of the program against baselines"));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs per side of each command."),
                                        QStringLiteral("N"), QStringLiteral("7"));
    const QCommandLineOption startupOption(QStringLiteral("startup-runs"), QStringLiteral("Runs per side of start-up."),
                                           QStringLiteral("N"), QStringLiteral("31"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), QStringLiteral("Where the CSV goes."),
                                       QStringLiteral("FILE"), QStringLiteral("bench.csv"));
    const QString all =
        QStringLiteral("startup,save,check,load,html,shown,typing,recovery,navigation,print,scaling,peer,documents,cli");
    const QCommandLineOption onlyOption(QStringLiteral("only"), QStringLiteral("Figures to run, by comma: ") + all,
                                        QStringLiteral("LIST"), all);
    const QCommandLineOption keepOption(QStringLiteral("keep-files"),
                                        QStringLiteral("Keep the files the bench writes, to look at them."));
    // The memory figure's child processes (documentmemory.cpp).
    QCommandLineOption childOption(QStringLiteral("memory-child"), QStringLiteral("pdf or print"),
                                   QStringLiteral("WHAT"));
    QCommandLineOption childFolderOption(QStringLiteral("child-folder"), QString(), QStringLiteral("DIR"));
    QCommandLineOption childOutputOption(QStringLiteral("child-output"), QString(), QStringLiteral("FILE"));
    for (QCommandLineOption *o : {&childOption, &childFolderOption, &childOutputOption})
        o->setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({runsOption, startupOption, csvOption, onlyOption, keepOption, childOption, childFolderOption,
                       childOutputOption});
    parser.process(app);
    if (parser.isSet(childOption)) {
        return bench::documentMemoryChild(parser.value(childOption), parser.value(childFolderOption),
                                          parser.value(childOutputOption));
    }
    if (parser.isSet(keepOption)) {
        work.setAutoRemove(false);
        std::fprintf(stderr, "files kept in %s\n", qPrintable(work.path()));
    }

    bench::Settings settings;
    settings.runs = qMax(1, parser.value(runsOption).toInt());
    settings.startupRuns = qMax(1, parser.value(startupOption).toInt());
    settings.programFolder = QStringLiteral(BREVANT_BENCH_PROGRAM_DIR);
    settings.program = QStringLiteral(BREVANT_BENCH_PROGRAM);
    settings.bareWindow = QStringLiteral(BREVANT_BENCH_BARE_WINDOW);
    settings.startupPlatform = startupPlatform;
    settings.workFolder = work.path();
    settings.soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    settings.bareCli = QStringLiteral(BREVANT_BENCH_BARE_CLI);
    settings.peakProbe = QStringLiteral(BREVANT_BENCH_PEAK_PROBE);
    const QStringList only = parser.value(onlyOption).split(QLatin1Char(','), Qt::SkipEmptyParts);

    QTextStream out(stdout);
    out << "Processor: " << processorName() << ", " << QThread::idealThreadCount() << " threads; Qt "
        << qVersion() << "\n"
        << "Medians of " << settings.runs << " runs per side (start-up: " << settings.startupRuns
        << ", on the " << startupPlatform << " platform"
        << (display ? QStringLiteral(", display %1").arg(qEnvironmentVariable("DISPLAY")) : QString())
        << "). Ratio = ours / baseline.\n\n";
    out.flush();

    QList<bench::Row> rows;
    const auto group = [&](const char *name, const auto &run) {
        if (!only.contains(QLatin1String(name)))
            return;
        std::fprintf(stderr, "running %s...\n", name);
        rows << run();
    };
    QList<double> printRuns;
    group("startup", [&] { return bench::startupRows(settings); });
    group("save", [&] { return bench::saveRows(settings); });
    group("check", [&] { return QList<bench::Row>{bench::saveCheckRow(settings)}; });
    group("load", [&] { return bench::loadRows(settings); });
    group("html", [&] { return bench::htmlRows(settings); });
    group("shown", [&] { return QList<bench::Row>{bench::htmlShownRow(settings)}; });
    group("typing", [&] { return bench::typingRows(settings) + bench::typingWithCommentsRows(settings); });
    group("recovery", [&] { return QList<bench::Row>{bench::recoveryWriteRow(settings)}; });
    group("navigation", [&] { return bench::navigationRows(settings) + bench::typingWithContentsRows(settings); });
    group("print", [&] { return QList<bench::Row>{bench::printRow(settings, &printRuns)}; });
    group("scaling", [&] { return bench::scalingRows(settings); });
    if (!printRuns.isEmpty())
        group("peer", [&] { return QList<bench::Row>{bench::peerRow(settings, printRuns)}; });
    group("documents", [&] { return bench::documentRows(settings); });
    group("cli", [&] { return bench::cliRows(settings); });

    bench::printTable(rows);
    QString error;
    const QString csv = parser.value(csvOption);
    if (!bench::writeCsv(csv, rows, &error)) {
        std::fprintf(stderr, "brevant_bench: cannot write %s: %s\n", qPrintable(csv), qPrintable(error));
        return 2;
    }
    out << "\nCSV: " << csv << '\n';
    return 0;
}
