#pragma once

#include "io/files.h"

#include <QList>
#include <QSet>
#include <QString>

#include <utility>

namespace brevant {

// Keeps what a save is about to replace: the first time in a run that a
// file is written over with a different content, its old bytes are copied
// into the backups folder as "<name> <date> <time>.<extension>". The
// newest kKept backups stay.
class BackupKeeper {
public:
    explicit BackupKeeper(const QString &folder) : m_folder(folder) {}

    QString folder() const { return m_folder; }

    // Before path is replaced by what content writes, which is run only
    // when a copy may be due, to be compared with the old bytes. Returns
    // false, with the reason, when a copy was due and could not be made.
    bool beforeReplacing(const QString &path, const ContentWriter &content, QString *error);
    // path now holds what this run wrote: its old content is kept already,
    // or was this run's own.
    void written(const QString &path);

    // True the first time it is asked in a run: a failure to keep a copy
    // is told once, not at every save.
    bool tellFailureOnce() { return !std::exchange(m_toldFailure, true); }
    // The copy the last beforeReplacing kept, the first time in a run that
    // one was kept; empty otherwise (so it is told once).
    QString keptToTellOnce();

    static constexpr int kKept = 20;

private:
    static QString key(const QString &path);

    QString m_folder;
    QSet<QString> m_done;
    bool m_toldFailure = false;
    QString m_kept;          // the copy the last beforeReplacing kept
    bool m_toldKept = false;
};

} // namespace brevant
