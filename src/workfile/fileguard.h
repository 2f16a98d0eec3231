#pragma once

#include "io/fileidentity.h"
#include "io/lockfile.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileSystemWatcher;

namespace brevant {

// Keeps watch over the work files this program reads and writes, so that
// nothing another program wrote is overwritten unseen:
//
// - what each file was when this program last read or wrote it (its
//   identity), so that a save can tell whether it changed meanwhile;
// - a lock file beside each file the program holds (the one loaded, the
//   current work file of Save), as office suites leave them on shared
//   drives, so that a second program opening it is told who has it;
// - a watch on the files it holds: the system's notice of a change, and,
//   since a write over the network raises none here, a look at their size
//   and time every few seconds and whenever the program's window comes to
//   the front. A change is told once (changedOnDisk).
//
// A file's companions (files kept beside it that belong to it) are covered
// by the same check, watch and lock: see companionsOf.
class FileGuard : public QObject {
    Q_OBJECT
public:
    // me: this process, as its lock files name it.
    explicit FileGuard(const LockOwner &me, QObject *parent = nullptr);
    ~FileGuard() override;

    const LockOwner &me() const { return m_me; }

    // The files that belong to a work file and go with it: every path the
    // check, the watch and the lock cover, the work file first.
    QStringList coveredPaths(const QString &workFile) const;
    // Adds a kind of companion: the path of a file kept beside a work file.
    void addCompanion(std::function<QString(const QString &workFile)> companion);

    // What the file at path was when this program last read or wrote it.
    void seen(const QString &path, const FileIdentity &identity);
    // Whether the program has seen path in this run.
    bool knows(const QString &path) const;
    FileIdentity lastSeen(const QString &path) const;
    // How path stands against what was last seen of it. A path not seen
    // is Unchanged.
    DiskCheck check(const QString &path);

    // The files the program holds: the one loaded last (until another is
    // loaded or Save As writes elsewhere) and the current work file of
    // Save (until Continue lets it go). An empty path lets go.
    enum class Slot { Loaded, Current };
    void hold(Slot slot, const QString &path);
    QString held(Slot slot) const;
    // Makes (or makes again) this program's lock beside path, unless
    // another program holds it there. False when another does.
    bool lock(const QString &path);
    // Lets every file go: the locks are removed, the watch ends.
    void releaseAll();

    // How the lock beside a file stands for this program.
    LockLook lookAtLock(const QString &path) const;

    // Looks at the held files now (a window came to the front).
    void lookNow();
    void setInterval(int ms) { m_timer.setInterval(ms); }

signals:
    // A held file (or one of its companions) changed on disk, or went,
    // since this program last read or wrote it. Told once for each change.
    void changedOnDisk(const QString &workFile, const QString &path, const brevant::DiskCheck &check);
    // Every change told has been settled (saved over, loaded, let go).
    void settled();

private:
    static QString key(const QString &path);
    void sync();
    void look();

    LockOwner m_me;
    QList<std::function<QString(const QString &)>> m_companions;
    QHash<QString, FileIdentity> m_seen;
    QString m_held[2];
    QSet<QString> m_locked;
    // What was told of each path: its identity on disk then.
    QHash<QString, FileIdentity> m_told;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_timer;
};

} // namespace brevant
