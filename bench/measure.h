#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace bench {

// One row of the result table.
struct Row {
    QString figure;
    QString unit;                 // "ms" or "MiB"
    double ours = 0;              // median
    double baseline = 0;          // median
    int runs = 0;                 // per side
    // The ratio ours / baseline must not exceed this; an aim only is
    // reported but does not count as missed.
    double goal = 0;
    bool aimOnly = false;
    bool recordOnly = false;      // no goal: the figure is only recorded
    QString goalText;
    QString note;                 // why a row was skipped or failed
    bool skipped = false;

    double ratio() const { return baseline > 0 ? ours / baseline : 0; }
    bool met() const { return !skipped && !recordOnly && ratio() <= goal; }
    QString result() const;
};

double median(QList<double> values);

// Milliseconds of one call.
double timeMs(const std::function<void()> &work);

// Runs ours and the baseline alternately, so that a slow spell of the
// machine hits both sides alike; returns the medians in ms.
struct Medians {
    double ours = 0;
    double baseline = 0;
};
Medians alternate(int runs, const std::function<double()> &ours, const std::function<double()> &baseline);

// The table on stdout and the same rows as CSV.
void printTable(const QList<Row> &rows);
bool writeCsv(const QString &path, const QList<Row> &rows, QString *error);

// A failure that ends the suite: the command did not do what it should,
// so its time would mean nothing.
[[noreturn]] void fail(const QString &what);

} // namespace bench
