#pragma once

#include "cli/command.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace brevant::cli {

// The work files a command is given: each FILE as named, and for each
// FOLDER its regular files ending in ".dat" (any letter case), not those of
// its subfolders, in name order. A name that is neither is said to the
// console, and the status says so.
struct WorkFileInputs {
    QStringList files;
    Status status = Status::Done;
};
WorkFileInputs workFileInputs(const QStringList &arguments, Console &console);

// A work file's name less its last extension: "history.dat" gives
// "history", "a.b.dat" "a.b", "notes" "notes".
QString fileStem(const QString &path);

// The program folder: where the program's data (the designs' templates) is.
QString programFolder();

// Runs work(0) ... work(count - 1), jobs at a time (one: in turn, on this
// thread), and returns when all are done.
void sideBySide(qsizetype count, int jobs, const std::function<void(qsizetype)> &work);

} // namespace brevant::cli
