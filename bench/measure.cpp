#include "measure.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace bench {

QString Row::result() const
{
    if (skipped)
        return QStringLiteral("skipped");
    if (recordOnly)
        return QStringLiteral("recorded");
    if (aimOnly)
        return met() ? QStringLiteral("aim met") : QStringLiteral("aim missed");
    return met() ? QStringLiteral("met") : QStringLiteral("MISSED");
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

Medians alternate(int runs, const std::function<double()> &ours, const std::function<double()> &baseline)
{
    QList<double> a, b;
    for (int i = 0; i < runs; ++i) {
        // Which side goes first changes from run to run.
        if (i % 2 == 0) {
            a << ours();
            b << baseline();
        } else {
            b << baseline();
            a << ours();
        }
    }
    return {median(a), median(b)};
}

namespace {

QString number(double value)
{
    return QString::number(value, 'f', value >= 100 ? 0 : value >= 10 ? 1 : 2);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

void printTable(const QList<Row> &rows)
{
    const QStringList header = {QStringLiteral("Figure"), QStringLiteral("Ours (median)"),
                                QStringLiteral("Baseline (median)"), QStringLiteral("Ratio"),
                                QStringLiteral("Goal"), QStringLiteral("Result")};
    QList<QStringList> cells;
    cells << header;
    for (const Row &r : rows) {
        if (r.skipped) {
            cells << QStringList{r.figure, QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                 r.goalText, r.result()};
            continue;
        }
        cells << QStringList{r.figure, number(r.ours) + QLatin1Char(' ') + r.unit,
                             number(r.baseline) + QLatin1Char(' ') + r.unit,
                             QString::number(r.ratio(), 'f', 2), r.goalText, r.result()};
    }
    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList &line : cells) {
        for (qsizetype i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], line.at(i).size());
    }
    QTextStream out(stdout);
    const auto rule = [&] {
        QString text;
        for (qsizetype w : widths)
            text += QLatin1Char('|') + QString(w + 2, QLatin1Char('-'));
        out << text << "|\n";
    };
    for (qsizetype n = 0; n < cells.size(); ++n) {
        QString text;
        for (qsizetype i = 0; i < cells.at(n).size(); ++i) {
            const QString &cell = cells.at(n).at(i);
            // Figures left, numbers right.
            text += QStringLiteral("| ") + (i == 0 || i >= 4 ? cell.leftJustified(widths[i]) : cell.rightJustified(widths[i]))
                + QLatin1Char(' ');
        }
        out << text << "|\n";
        if (n == 0)
            rule();
    }
    for (const Row &r : rows) {
        if (!r.note.isEmpty())
            out << r.figure << ": " << r.note << '\n';
    }
    out.flush();
}

bool writeCsv(const QString &path, const QList<Row> &rows, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out << "figure,unit,ours_median,baseline_median,ratio,goal,result,runs,note\n";
    for (const Row &r : rows) {
        out << csvField(r.figure) << ',' << r.unit << ','
            << (r.skipped ? QString() : QString::number(r.ours, 'f', 3)) << ','
            << (r.skipped ? QString() : QString::number(r.baseline, 'f', 3)) << ','
            << (r.skipped ? QString() : QString::number(r.ratio(), 'f', 3)) << ','
            << csvField(r.goalText) << ',' << r.result() << ',' << r.runs << ',' << csvField(r.note) << '\n';
    }
    out.flush();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void fail(const QString &what)
{
    std::fprintf(stderr, "brevant_bench: %s\n", qPrintable(what));
    std::exit(2);
}

} // namespace bench
