#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

namespace brevant {

// Who has a file open: what a lock file beside it says. The lock file is
// the one office suites leave on shared drives, ".~lock.<name>#" in the
// file's folder, one line of comma-separated fields:
//
//     full name,host,user name,dd.mm.yyyy hh:mm,data folder,process id;
//
// (the process id is this program's own last field; a lock file without
// it, as an office suite writes it, is read as well). A comma, semicolon
// or backslash within a field is preceded by a backslash.
struct LockOwner {
    QString fullName;
    QString host;
    QString user;
    QDateTime since;      // to the minute, local time
    QString dataFolder;   // a file URL, as office suites write it
    qint64 pid = 0;       // 0: not said

    // The user as a person reads it: "Full Name (user) on host".
    QString who() const;
    // Whether it names this very process.
    bool isProcess(const LockOwner &other) const
    {
        return host == other.host && user == other.user && pid == other.pid && pid != 0;
    }

    // This process, as it writes its locks; dataFolder as given.
    static LockOwner thisProcess(const QString &dataFolder);
};

QByteArray encodeLock(const LockOwner &owner);
// Nothing for bytes that are no lock file (too few fields, or no line).
std::optional<LockOwner> decodeLock(QByteArrayView bytes);

// The lock file of a file: ".~lock.<name>#" beside it.
QString lockFilePath(const QString &file);

// How the lock of a file stands for this process.
enum class LockState {
    None,    // no lock file, or one that cannot be read as one
    Ours,    // this process's own
    Stale,   // left behind: its process is gone on this host, or it is
             // older than a day on another host
    Theirs,  // another program, here or elsewhere, has the file open
};

struct LockLook {
    LockState state = LockState::None;
    LockOwner owner;   // the lock file's, where there is one
};

// Judges a lock read from a file against this process at now.
LockState judgeLock(const LockOwner &owner, const LockOwner &me, const QDateTime &now);
// Looks at the lock beside file.
LockLook lookAtLock(const QString &file, const LockOwner &me);

// Writes this process's lock beside file (over a lock that is stale or its
// own). False, with the reason, when the folder cannot be written.
bool writeLock(const QString &file, const LockOwner &me, QString *error);
// Removes the lock beside file if it is this process's own; another's is
// left alone.
void releaseLock(const QString &file, const LockOwner &me);

} // namespace brevant
