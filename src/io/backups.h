#pragma once

#include "io/files.h"

#include <QList>
#include <QSet>
#include <QString>

#include <utility>

class QFileInfo;

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
    // when a copy may be due, to be compared with the old bytes (without
    // content, as for a report document, any old bytes are kept). Returns
    // false, with the reason, when a copy was due and could not be made.
    bool beforeReplacing(const QString &path, const ContentWriter &content, QString *error);
    // Keeps the file at path now, whatever this run kept of it before (a
    // version another program wrote meanwhile). Returns the copy's path,
    // or an empty string with the reason.
    QString keepNow(const QString &path, QString *error);
    // path now holds what this run wrote: its old content is kept already,
    // or was this run's own.
    void written(const QString &path);

    // True the first time it is asked in a run: a failure to keep a copy
    // is told once, not at every save.
    bool tellFailureOnce() { return !std::exchange(m_toldFailure, true); }
    // The copy the last beforeReplacing kept, the first time in a run that
    // one was kept; empty otherwise (so it is told once).
    QString keptToTellOnce();

    // What the user is told when a copy cannot be kept (reason: why), and
    // under a save's message when one was.
    QString failureText(const QString &reason) const;
    static QString keptText(const QString &copy);
    static QString failureTitle() { return QStringLiteral("Backup Not Kept"); }

    static constexpr int kKept = 20;

private:
    static QString key(const QString &path);
    // Writes bytes as the backup of the file info names; its path, or empty.
    QString keepBytes(const QFileInfo &info, const QByteArray &bytes, QString *error);

    QString m_folder;
    QSet<QString> m_done;
    bool m_toldFailure = false;
    QString m_kept;          // the copy the last beforeReplacing kept
    bool m_toldKept = false;
};

} // namespace brevant
