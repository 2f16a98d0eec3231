#include "cli/exportcommand.h"

#include "cli/inputs.h"
#include "core/workfileread.h"
#include "document/documentengine.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <atomic>
#include <mutex>

namespace brevant::cli {

using namespace Qt::Literals::StringLiterals;

namespace {

const ReportWriter *writerNamed(const QString &format)
{
    for (const ReportWriter &writer : reportWriters()) {
        if (writer.extensions.first() == format.toLower())
            return &writer;
    }
    return nullptr;
}

QStringList formatNames()
{
    QStringList names;
    for (const ReportWriter &writer : reportWriters())
        names << writer.extensions.first();
    return names;
}

const ReportDesign *designNamed(const QString &name)
{
    for (const ReportDesign &design : reportDesigns()) {
        if (design.caption.compare(name, Qt::CaseInsensitive) == 0)
            return &design;
    }
    return nullptr;
}

QString designNames()
{
    QStringList names;
    for (const ReportDesign &design : reportDesigns())
        names << u'"' + design.caption + u'"';
    return names.join(u", "_s);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// One work file and the document it becomes.
struct Job {
    QString input;
    QString output;
};

} // namespace

namespace {

Status run(const Command &command, const QCommandLineParser &parser, Console &console)
{
    const ReportWriter *writer = writerNamed(parser.value(u"format"_s));
    if (!parser.isSet(u"format"_s))
        return command.usageError(console, u"--format is missing."_s);
    if (!writer)
        return command.usageError(console, u"--format takes %1, not \"%2\"."_s.arg(formatNames().join(u", "_s),
                                                                            parser.value(u"format"_s)));
    const ReportDesign *design = &reportDesigns().first();
    if (parser.isSet(u"design"_s) && !(design = designNamed(parser.value(u"design"_s))))
        return command.usageError(console, u"There is no design \"%1\"; there are %2."_s.arg(parser.value(u"design"_s),
                                                                                    designNames()));
    DocumentOptions options;
    if (parser.isSet(u"paper"_s)) {
        const QString paper = parser.value(u"paper"_s).toLower();
        if (paper == u"a4"_s)
            options.paper = Paper::A4;
        else if (paper == u"letter"_s)
            options.paper = Paper::Letter;
        else
            return command.usageError(console, u"--paper takes a4 or letter, not \"%1\"."_s.arg(parser.value(u"paper"_s)));
    }
    int jobs = QThread::idealThreadCount();
    if (parser.isSet(u"jobs"_s)) {
        bool number = false;
        jobs = parser.value(u"jobs"_s).toInt(&number);
        if (!number || jobs < 1)
            return command.usageError(console, u"--jobs takes a whole number of 1 or more."_s);
    }
    if (!parser.isSet(u"output"_s) || parser.value(u"output"_s).isEmpty())
        return command.usageError(console, u"--output is missing."_s);
    if (parser.positionalArguments().isEmpty())
        return command.usageError(console, u"No work file is named."_s);

    // What every report needs: the design's template, the folder, the
    // engine for a document.
    QByteArray templateBytes;
    QString error;
    if (!readReportTemplate(programFolder() + design->templatePath, &templateBytes, &error)) {
        console.error(error.replace(u'\n', u' '));
        return Status::Failed;
    }
    if (writer->madeWhole && !documentEngine(&error)) {
        console.error(error);
        return Status::Failed;
    }
    const QString folder = parser.value(u"output"_s);
    if (!QDir().mkpath(folder)) {
        console.error(u"%1: the folder cannot be made."_s.arg(shown(folder)));
        return Status::Failed;
    }

    const WorkFileInputs inputs = workFileInputs(parser.positionalArguments(), console);
    Status status = inputs.status;
    QList<Job> work;
    QSet<QString> outputs;
    for (const QString &input : inputs.files) {
        const QString output = QDir(folder).filePath(fileStem(input) + u'.' + writer->extensions.first());
        if (outputs.contains(output)) {
            console.error(u"%1: not made: an earlier file has the same name, and its report is %2."_s.arg(
                shown(input), shown(output)));
            status = Status::Failed;
            continue;
        }
        outputs.insert(output);
        // What is there and is no file (a folder) is the writer's to refuse.
        if (!parser.isSet(u"force"_s) && QFileInfo(output).isFile()) {
            console.error(u"%1: not made: %2 is there already (--force replaces it)."_s.arg(shown(input),
                                                                                             shown(output)));
            status = Status::Failed;
            continue;
        }
        work << Job{input, output};
    }

    // Side by side, each report is laid out on its own thread, which keeps
    // both processors busy all through (drawing and finishing a PDF take
    // one thread) and each thread's faces loaded once.
    if (jobs > 1 && work.size() > 1)
        options.layoutThreads = 1;
    std::mutex lock;
    std::atomic<int> done = 0;
    sideBySide(work.size(), jobs, [&](qsizetype i) {
        const Job &job = work.at(i);
        QString reason;
        const WorkFileReading read = TextFromFile(job.input);
        bool made = read.ok;
        if (!read.ok) {
            console.error(u"%1: could not be read: %2"_s.arg(shown(job.input), read.reason));
        } else if (!(made = writeReportFile(*writer, makeReport(templateBytes, read.contents.responses), job.output,
                                            options, &reason))) {
            console.error(u"%1: could not be written: %2"_s.arg(shown(job.output), reason.replace(u'\n', u' ')));
        }
        if (!made) {
            const std::lock_guard guard(lock);
            status = Status::Failed;
        }
        console.progress(u"%1 of %2 reports"_s.arg(++done).arg(work.size()));
    });
    console.endProgress();
    return status;
}

} // namespace

Command exportCommand()
{
    return {u"export"_s,
            u"Make the report of each work file: PDF, Word, ODT or web page"_s,
            u"--format pdf|docx|odt|html [--design NAME] [--paper a4|letter] [--jobs N]\n"
            "                          [--force] --output DIR FILE|FOLDER..."_s,
            u"Each work file (Windows-1252 or UTF-8, as Load reads it) becomes\n"
            "DIR/<name>.<format>, <name> being the file's name less its last extension: the\n"
            "report the template window saves for the same responses, design, date and\n"
            "paper. A FOLDER gives its *.dat files, not those of its subfolders, in name\n"
            "order. Every date the documents hold comes from SOURCE_DATE_EPOCH when it is\n"
            "set, so a report made again is the same file. Exit status: 0 when every report\n"
            "was written, 2 when a file could not be read or written (each is named; the\n"
            "others are still made)."_s,
            {{u"format"_s, u"The kind of document: %1."_s.arg(formatNames().join(u", "_s)), u"FORMAT"_s},
             {u"design"_s,
              u"The design, as the template window names it (letter case ignored): %1. The first when "
              "not given."_s.arg(designNames()),
              u"NAME"_s},
             {u"paper"_s, u"a4 or letter; the locale's when not given."_s, u"PAPER"_s},
             {u"jobs"_s, u"How many reports are made side by side; the number of processors when not given."_s,
              u"N"_s},
             {u"force"_s, u"Replace reports that are already in DIR."_s},
             {u"output"_s, u"The folder the reports go to; made when it is missing."_s, u"DIR"_s}},
            run};
}

} // namespace brevant::cli
