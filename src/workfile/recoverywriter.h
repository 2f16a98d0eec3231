#pragma once

#include "core/catalogue.h"
#include "workfile/recoveryfile.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace brevant {

// One edit of a response's text.
struct RecoveryEdit {
    qsizetype position = 0;
    qsizetype removed = 0;
    QString added;
};

// What the window thread hands the writing thread at one write: for each
// response its whole text or the edits since the last write, and the rest
// of the copy as it stands.
struct RecoveryUpdate {
    struct Item {
        std::optional<QString> whole;   // the box's whole text, then
        QList<RecoveryEdit> edits;      // the edits since
    };
    std::array<Item, kItemCount> items;
    QStringList answers;
    QDateTime changed;
    QString nameFile;
    QString fileName;

    // This update followed by a later one.
    void append(RecoveryUpdate &&later);
};

// Writes the recovery copy of one session on a thread of its own, which
// keeps its own copy of the texts, brought up to date by the updates it is
// handed. It is told the state the disk should reach (the copy as it
// stands, or no copy): only the latest such state counts. It holds the
// session's lock from the first write to its end.
class RecoveryWriter {
public:
    // Called on context's thread: a copy could not be written; an edit did
    // not fit its text, which is to be handed over whole again.
    struct Callbacks {
        QObject *context;
        std::function<void(const QString &folder, const QString &reason)> failed;
        std::function<void(int item)> resync;
    };
    RecoveryWriter(const QString &folder, const QString &session, Callbacks callbacks);
    // Finishes what it was handed, then lets the lock go; a copy on disk stays.
    ~RecoveryWriter();

    void write(RecoveryUpdate update);
    void remove();
    void waitIdle();

private:
    class Thread;
    std::unique_ptr<Thread> m_thread;
};

} // namespace brevant
