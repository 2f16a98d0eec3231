// brevant-cli as the quality office runs it, each run a process of its
// own: its start against a bare Qt program that prints a line; the export
// of a cycle's 60 work files side by side against one after another, and
// against a word processor converting their ODTs; the peak memory of that
// export against one file's; the table of 500 work files against wc -w.

#include "benches.h"
#include "inputs.h"

#include "core/workfileformat.h"
#include "files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace bench {

namespace {

struct Finished {
    double ms = 0;
    QByteArray out;
};

// Runs a program to its end and times it from the start to the end.
Finished run(const QString &program, const QStringList &arguments, const QString &what)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    Finished finished;
    finished.ms = timeMs([&] {
        process.start();
        if (!process.waitForFinished(3600000))
            process.kill();
    });
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(what + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError()));
    finished.out = process.readAllStandardOutput();
    return finished;
}

// A folder of count work files, each 27 responses of size characters.
QString workFiles(const Settings &settings, const QString &name, int count, qsizetype size)
{
    const QString folder = settings.workFolder + u'/' + name;
    QDir().mkpath(folder);
    QStringList texts = responses(size);
    for (int i = 0; i < count; ++i) {
        // Each file its own: the responses turned round by one.
        texts.append(texts.takeFirst());
        const QString path = folder + QStringLiteral("/department-%1.dat").arg(i + 1, 3, 10, QLatin1Char('0'));
        if (!brevant::test::writeFileBytes(path, brevant::TextToFile(texts)))
            fail(QStringLiteral("cannot write ") + path);
    }
    return folder;
}

Row row(const QString &figure, const QString &unit, const Medians &m, int runs, double goal, const QString &note)
{
    Row r;
    r.figure = figure;
    r.unit = unit;
    r.ours = m.ours;
    r.baseline = m.baseline;
    r.runs = runs;
    r.goal = goal;
    r.goalText = QStringLiteral("<= %1").arg(goal);
    r.note = note;
    return r;
}

double peakMiB(const Settings &settings, const QStringList &command)
{
    const Finished probed = run(settings.peakProbe, command, QStringLiteral("brevant-cli under the peak probe"));
    const qsizetype at = probed.out.lastIndexOf("peak ");
    if (at < 0)
        fail(QStringLiteral("the peak probe gave no figure"));
    return probed.out.mid(at + 5).trimmed().toDouble() / 1024.0;
}

} // namespace

QList<Row> cliRows(const Settings &settings)
{
    QList<Row> rows;
    const QString cli = settings.programFolder + QStringLiteral("/brevant-cli");

    // Start: --version against the bare program, in turns.
    run(cli, {QStringLiteral("--version")}, QStringLiteral("brevant-cli --version"));
    run(settings.bareCli, {}, QStringLiteral("the bare program"));
    const Medians start = alternate(
        settings.startupRuns,
        [&] { return run(cli, {QStringLiteral("--version")}, QStringLiteral("brevant-cli --version")).ms; },
        [&] { return run(settings.bareCli, {}, QStringLiteral("the bare program")).ms; });
    rows << row(QStringLiteral("brevant-cli --version"), QStringLiteral("ms"), start, settings.startupRuns, 1.2,
                QStringLiteral("baseline: a bare QCoreApplication that prints a line"));

    // A cycle's 60 files of 27 x 40 KiB to tagged PDF: side by side (two
    // jobs) against one after another. Few runs: each takes a while.
    const QString cycle = workFiles(settings, QStringLiteral("cycle"), 60, 40 * 1024);
    const QString pdfs = settings.workFolder + QStringLiteral("/cycle-pdf");
    const auto exportAll = [&](int jobs) {
        return run(cli,
                   {QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("pdf"),
                    QStringLiteral("--force"), QStringLiteral("--jobs"), QString::number(jobs),
                    QStringLiteral("--output"), pdfs, cycle},
                   QStringLiteral("brevant-cli export"))
            .ms;
    };
    const int heavyRuns = qMin(settings.runs, 3);
    const Medians sideBySide = alternate(heavyRuns, [&] { return exportAll(2); }, [&] { return exportAll(1); });
    rows << row(QStringLiteral("Export of 60 work files to tagged PDF, 2 jobs"), QStringLiteral("ms"), sideBySide,
                heavyRuns, 0.75,
                QStringLiteral("baseline: the same export one file after another (--jobs 1); "
                               "the engine lays each out on two threads already"));

    // Against a word processor converting the same reports' ODTs to PDF in
    // one call.
    Row peer;
    peer.figure = QStringLiteral("Export of 60 work files to tagged PDF, against a word processor");
    peer.unit = QStringLiteral("ms");
    peer.goal = 0.2;
    peer.goalText = QStringLiteral("<= 0.2");
    if (settings.soffice.isEmpty()) {
        peer.skipped = true;
        peer.note = QStringLiteral("skipped: soffice not found (Debian libreoffice-writer-nogui)");
    } else {
        const QString odts = settings.workFolder + QStringLiteral("/cycle-odt");
        run(cli,
            {QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("odt"), QStringLiteral("--force"),
             QStringLiteral("--output"), odts, cycle},
            QStringLiteral("brevant-cli export --format odt"));
        QStringList inputs;
        for (const QFileInfo &odt : QDir(odts).entryInfoList({QStringLiteral("*.odt")}, QDir::Files, QDir::Name))
            inputs << odt.filePath();
        const QString profile =
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(settings.workFolder + QStringLiteral("/cli-peer-profile")).toString();
        const QString out = settings.workFolder + QStringLiteral("/cycle-peer");
        const auto convert = [&](const QStringList &files) {
            return run(settings.soffice,
                       QStringList{profile, QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                   QStringLiteral("pdf"), QStringLiteral("--outdir"), out}
                           + files,
                       QStringLiteral("the word processor"))
                .ms;
        };
        convert({inputs.first()});   // sets up its profile; not counted
        const int peerRuns = qMin(settings.runs, 2);
        QList<double> ours, theirs;
        for (int i = 0; i < peerRuns; ++i) {
            ours << exportAll(2);
            theirs << convert(inputs);
        }
        peer.ours = median(ours);
        peer.baseline = median(theirs);
        peer.runs = peerRuns;
        peer.note = QStringLiteral("baseline: soffice --headless --convert-to pdf of the 60 reports' ODTs in one call");
    }
    rows << peer;

    // Peak memory: the 60 files with two jobs against one file alone.
    const QString one = settings.workFolder + QStringLiteral("/cycle-one");
    QDir().mkpath(one);
    QFile::copy(cycle + QStringLiteral("/department-001.dat"), one + QStringLiteral("/department-001.dat"));
    const auto exportPeak = [&](const QString &inputs, int jobs) {
        return peakMiB(settings, {cli, QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("pdf"),
                                  QStringLiteral("--force"), QStringLiteral("--jobs"), QString::number(jobs),
                                  QStringLiteral("--output"), pdfs, inputs});
    };
    QList<double> manyMiB, oneMiB;
    for (int i = 0; i < heavyRuns; ++i) {
        manyMiB << exportPeak(cycle, 2);
        oneMiB << exportPeak(one, 1);
    }
    Row memory = row(QStringLiteral("Peak memory, export of 60 work files, 2 jobs"), QStringLiteral("MiB"),
                     {median(manyMiB), median(oneMiB)}, heavyRuns, 1.5,
                     QStringLiteral("peak resident size of the process; baseline: the export of one of the files"));
    rows << memory;

    // The table of 500 files of 27 x 10 KiB against wc -w over them.
    const QString many = workFiles(settings, QStringLiteral("rollup"), 500, 10 * 1024);
    QStringList files;
    for (const QFileInfo &file : QDir(many).entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name))
        files << file.filePath();
    const QString table = settings.workFolder + QStringLiteral("/rollup.csv");
    const auto rollup = [&] {
        return run(cli, {QStringLiteral("rollup"), QStringLiteral("--output"), table, many},
                   QStringLiteral("brevant-cli rollup"))
            .ms;
    };
    const auto wc = [&] { return run(QStringLiteral("wc"), QStringList{QStringLiteral("-w")} + files, QStringLiteral("wc -w")).ms; };
    rollup();
    wc();
    const Medians tables = alternate(settings.runs, rollup, wc);
    rows << row(QStringLiteral("Rollup of 500 work files (27 x 10 KiB) to CSV"), QStringLiteral("ms"), tables,
                settings.runs, 2, QStringLiteral("baseline: wc -w over the same files"));
    return rows;
}

} // namespace bench
