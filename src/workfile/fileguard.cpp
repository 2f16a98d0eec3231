#include "workfile/fileguard.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace brevant {

namespace {

// How often the held files are looked at: often enough that a colleague's
// save over the network is noticed within moments, seldom enough to cost
// nothing (a look is one stat of each file).
constexpr int kLookEveryMs = 3000;

} // namespace

FileGuard::FileGuard(const LockOwner &me, QObject *parent) : QObject(parent), m_me(me)
{
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FileGuard::look);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileGuard::look);
    m_timer.setInterval(kLookEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &FileGuard::look);
}

FileGuard::~FileGuard()
{
    releaseAll();
}

QString FileGuard::key(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

QStringList FileGuard::coveredPaths(const QString &workFile) const
{
    QStringList paths{workFile};
    for (const auto &companion : m_companions) {
        const QString path = companion(workFile);
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

void FileGuard::addCompanion(std::function<QString(const QString &)> companion)
{
    m_companions << std::move(companion);
    sync();
}

void FileGuard::seen(const QString &path, const FileIdentity &identity)
{
    const QString k = key(path);
    m_seen.insert(k, identity);
    if (m_told.remove(k) && m_told.isEmpty())
        emit settled();
    sync();
}

bool FileGuard::knows(const QString &path) const
{
    return m_seen.contains(key(path));
}

FileIdentity FileGuard::lastSeen(const QString &path) const
{
    return m_seen.value(key(path));
}

DiskCheck FileGuard::check(const QString &path)
{
    const auto it = m_seen.find(key(path));
    if (it == m_seen.end())
        return {};
    const DiskCheck check = checkFile(path, *it);
    // Touched but the same bytes: its new time is what is seen from now on,
    // so that the bytes are not read again at the next look.
    if (check.change == DiskChange::Unchanged && !check.now.sameStat(*it))
        *it = check.now;
    return check;
}

void FileGuard::hold(Slot slot, const QString &path)
{
    m_held[int(slot)] = path;
    if (!path.isEmpty())
        lock(path);
    sync();
}

QString FileGuard::held(Slot slot) const
{
    return m_held[int(slot)];
}

bool FileGuard::lock(const QString &path)
{
    const LockLook look = brevant::lookAtLock(path, m_me);
    if (look.state == LockState::Theirs)
        return false;
    if (look.state == LockState::Ours && m_locked.contains(key(path)))
        return true;
    // A lock that cannot be written (a read-only folder) keeps no one out
    // and loses nothing: the check before every save still stands.
    if (writeLock(path, m_me, nullptr))
        m_locked.insert(key(path));
    return true;
}

LockLook FileGuard::lookAtLock(const QString &path) const
{
    return brevant::lookAtLock(path, m_me);
}

void FileGuard::releaseAll()
{
    m_held[0].clear();
    m_held[1].clear();
    sync();
}

void FileGuard::sync()
{
    QSet<QString> held;
    QStringList watched;
    for (const QString &file : m_held) {
        if (file.isEmpty())
            continue;
        held.insert(key(file));
        watched << coveredPaths(file);
    }
    // Locks of files no longer held go.
    for (auto it = m_locked.begin(); it != m_locked.end();) {
        if (held.contains(*it)) {
            ++it;
        } else {
            releaseLock(*it, m_me);
            it = m_locked.erase(it);
        }
    }
    // Changes told of files no longer held are settled with them.
    bool dropped = false;
    for (auto it = m_told.begin(); it != m_told.end();) {
        bool stillWatched = false;
        for (const QString &path : std::as_const(watched))
            stillWatched = stillWatched || key(path) == it.key();
        if (stillWatched) {
            ++it;
        } else {
            it = m_told.erase(it);
            dropped = true;
        }
    }
    if (dropped && m_told.isEmpty())
        emit settled();

    // The files, and their folders, which tell when a file is replaced by
    // renaming another over it or comes back after it went.
    QStringList files, folders;
    for (const QString &path : std::as_const(watched)) {
        const QFileInfo info(path);
        if (info.isFile())
            files << info.absoluteFilePath();
        if (info.absoluteDir().exists())
            folders << info.absolutePath();
    }
    const QStringList nowFiles = m_watcher->files();
    const QStringList nowFolders = m_watcher->directories();
    for (const QString &f : nowFiles) {
        if (!files.contains(f))
            m_watcher->removePath(f);
    }
    for (const QString &f : nowFolders) {
        if (!folders.contains(f))
            m_watcher->removePath(f);
    }
    for (const QString &f : std::as_const(files)) {
        if (!nowFiles.contains(f))
            m_watcher->addPath(f);
    }
    for (const QString &f : std::as_const(folders)) {
        if (!nowFolders.contains(f))
            m_watcher->addPath(f);
    }
    if (watched.isEmpty())
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

void FileGuard::lookNow()
{
    look();
}

void FileGuard::look()
{
    for (const QString &file : m_held) {
        if (file.isEmpty())
            continue;
        for (const QString &path : coveredPaths(file)) {
            const QString k = key(path);
            const auto seenIt = m_seen.constFind(k);
            if (seenIt == m_seen.constEnd())
                continue;
            const FileIdentity now = FileIdentity::at(path);
            if (now.sameStat(*seenIt)) {
                if (m_told.remove(k) && m_told.isEmpty())
                    emit settled();
                continue;
            }
            // Told already, and no further change since.
            const auto toldIt = m_told.constFind(k);
            if (toldIt != m_told.constEnd() && toldIt->sameStat(now))
                continue;
            const DiskCheck c = check(path);
            if (c.change == DiskChange::Unchanged) {
                if (m_told.remove(k) && m_told.isEmpty())
                    emit settled();
                continue;
            }
            m_told.insert(k, c.now);
            emit changedOnDisk(file, path, c);
        }
    }
    // A file renamed over the watched one is no longer watched.
    sync();
}

} // namespace brevant
