#include "cli/rollupcommand.h"

#include "cli/inputs.h"
#include "core/catalogue.h"
#include "core/completeness.h"
#include "core/textcount.h"
#include "core/workfileread.h"
#include "document/documentengine.h"
#include "document/reportmodel.h"
#include "document/table.h"
#include "io/files.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace brevant::cli {

using namespace Qt::Literals::StringLiterals;

namespace {

// A work file's row, or why it has none.
struct Row {
    TableRow cells;
    QString error;
};

Row rowOf(const QString &path)
{
    const WorkFileReading read = TextFromFile(path);
    if (!read.ok)
        return {{}, read.reason};
    TableRow cells{TableCell::of(path)};
    qint64 words = 0;
    qint64 complete = 0;
    for (int item = 1; item <= kItemCount; ++item) {
        const QString &response = read.contents.responses.at(item - 1);
        const qint64 count = countText(response).words;
        cells << TableCell::of(count);
        words += count;
        // Without a record of the answers, each reads "Yes".
        complete += isRequirementComplete(item, !response.isEmpty(), QString::fromUtf16(kYes)) ? 1 : 0;
    }
    cells << TableCell::of(complete) << TableCell::of(words);
    return {cells, QString()};
}

} // namespace

namespace {

Status run(const Command &command, const QCommandLineParser &parser, Console &console)
{
    const QString output = parser.value(u"output"_s);
    if (output.isEmpty())
        return command.usageError(console, u"--output is missing."_s);
    const QString suffix = QFileInfo(output).suffix().toLower();
    const bool toStandardOutput = output == u"-"_s;
    if (!toStandardOutput && suffix != u"csv"_s && suffix != u"xlsx"_s)
        return command.usageError(console, u"--output names a .csv or .xlsx file, or - for standard output."_s);
    if (parser.positionalArguments().isEmpty())
        return command.usageError(console, u"No work file is named."_s);

    const WorkFileInputs inputs = workFileInputs(parser.positionalArguments(), console);
    Status status = inputs.status;
    Table table;
    table.header << TableCell::of(u"File"_s);
    for (int item = 1; item <= kItemCount; ++item)
        table.header << TableCell::of(QString::number(item));
    table.header << TableCell::of(u"Complete"_s) << TableCell::of(u"Words"_s);

    // Read side by side; the rows keep the order of the files.
    QList<Row> rows(inputs.files.size());
    sideBySide(rows.size(), QThread::idealThreadCount(), [&](qsizetype i) { rows[i] = rowOf(inputs.files.at(i)); });
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows.at(i).error.isEmpty()) {
            console.error(u"%1: could not be read: %2"_s.arg(QDir::toNativeSeparators(inputs.files.at(i)),
                                                           rows.at(i).error));
            status = Status::Failed;
            continue;
        }
        table.rows << rows.at(i).cells;
    }

    QString error;
    QByteArray bytes;
    if (suffix == u"xlsx"_s) {
        const DocumentEngine *engine = documentEngine(&error);
        if (engine)
            bytes = engine->xlsxTable(table, documentTime(), &error);
        if (bytes.isEmpty()) {
            console.error(error);
            return Status::Failed;
        }
    } else {
        bytes = csvTable(table);
    }
    if (toStandardOutput) {
        if (!console.out(bytes)) {
            console.error(u"the table could not be written to standard output."_s);
            return Status::Failed;
        }
    } else if (!writeFileSafely(output, bytes, &error)) {
        console.error(u"%1: could not be written: %2"_s.arg(QDir::toNativeSeparators(output), error));
        return Status::Failed;
    }
    return status;
}

} // namespace

Command rollupCommand()
{
    return {u"rollup"_s,
            u"One table of where each work file stands: words per requirement, complete"_s,
            u"--output TABLE.csv|TABLE.xlsx|- FILE|FOLDER..."_s,
            u"A row for each work file: its path as given, the words of each of the 27\n"
            "responses (0 when empty), how many requirements are complete (as Next tests a\n"
            "page) and the words of all. The table's kind follows the output's ending: CSV\n"
            "(UTF-8, as spreadsheets open it) or an XLSX workbook; - writes CSV to standard\n"
            "output. A FOLDER gives its *.dat files, not those of its subfolders, in name\n"
            "order. Exit status: 0 when every file has its row, 2 when a file could not be\n"
            "read (it is named and has no row) or the table not written."_s,
            {{u"output"_s, u"Where the table goes: a file ending in .csv or .xlsx, or - for standard output."_s,
              u"TABLE"_s}},
            run};
}

} // namespace brevant::cli
