#include "cli/rollupcommand.h"

#include "cli/inputs.h"
#include "core/catalogue.h"
#include "core/completeness.h"
#include "core/review.h"
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

// A work file's row, or why it has none; and why its review file could
// not be read, when it could not (the row is there all the same).
struct Row {
    TableRow cells;
    QString error;
    QString reviewError;
};

Row rowOf(const QString &path, bool states)
{
    const WorkFileReading read = TextFromFile(path);
    if (!read.ok)
        return {{}, read.reason, QString()};
    // The answers and states the review file beside it keeps; without one,
    // every answer reads "Yes" and every requirement is a draft.
    const ReviewReading review = readReview(reviewPathFor(path));
    TableRow cells{TableCell::of(path)};
    qint64 words = 0;
    qint64 complete = 0;
    for (int item = 1; item <= kItemCount; ++item) {
        const QString &response = read.contents.responses.at(item - 1);
        const qint64 count = countText(response).words;
        cells << TableCell::of(count);
        words += count;
        const QString answer = review.review.requirement(item).answer.value_or(QString::fromUtf16(kYes));
        complete += isRequirementComplete(item, !response.isEmpty(), answer) ? 1 : 0;
    }
    cells << TableCell::of(complete) << TableCell::of(words);
    if (states) {
        for (int item = 1; item <= kItemCount; ++item)
            cells << TableCell::of(stateKey(review.review.requirement(item).currentState()));
    }
    return {cells, QString(), review.ok ? QString() : review.reason};
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
    const bool states = parser.isSet(u"states"_s);
    for (int item = 1; states && item <= kItemCount; ++item)
        table.header << TableCell::of(u"State %1"_s.arg(item));

    // Read side by side; the rows keep the order of the files.
    QList<Row> rows(inputs.files.size());
    sideBySide(rows.size(), QThread::idealThreadCount(),
               [&](qsizetype i) { rows[i] = rowOf(inputs.files.at(i), states); });
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString file = QDir::toNativeSeparators(inputs.files.at(i));
        if (!rows.at(i).error.isEmpty()) {
            console.error(u"%1: could not be read: %2"_s.arg(file, rows.at(i).error));
            status = Status::Failed;
            continue;
        }
        if (!rows.at(i).reviewError.isEmpty()) {
            console.error(u"%1: could not be read: %2; the row takes every answer as \"Yes\"."_s.arg(
                QDir::toNativeSeparators(reviewPathFor(inputs.files.at(i))), rows.at(i).reviewError));
            status = Status::Failed;
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
            u"[--states] --output TABLE.csv|TABLE.xlsx|- FILE|FOLDER..."_s,
            u"A row for each work file: its path as given, the words of each of the 27\n"
            "responses (0 when empty), how many requirements are complete (as Next tests a\n"
            "page, with the answers of the review file beside the work file, or \"Yes\"\n"
            "without one) and the words of all. The table's kind follows the output's ending: CSV\n"
            "(UTF-8, as spreadsheets open it) or an XLSX workbook; - writes CSV to standard\n"
            "output. A FOLDER gives its *.dat files, not those of its subfolders, in name\n"
            "order. Exit status: 0 when every file has its row, 2 when a file could not be\n"
            "read (it is named and has no row) or the table not written."_s,
            {{u"output"_s, u"Where the table goes: a file ending in .csv or .xlsx, or - for standard output."_s,
              u"TABLE"_s},
             {u"states"_s, u"Add the columns State 1 ... State 27: each requirement's review state (draft, "
                           "in-review, changes-requested, approved) from the review file."_s}},
            run};
}

} // namespace brevant::cli
