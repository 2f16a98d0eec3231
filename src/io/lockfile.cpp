#include "io/lockfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr auto kTimeFormat = "dd.MM.yyyy hh:mm";
// A lock from another host older than this is taken to be left behind.
constexpr qint64 kStaleAfterSeconds = 24 * 60 * 60;

QString escapeField(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        if (c == u',' || c == u';' || c == u'\\')
            out += u'\\';
        // A line break would end the lock's one line.
        out += (c == u'\n' || c == u'\r') ? QChar(u' ') : c;
    }
    return out;
}

// The fields of the line, up to its first unescaped ';'.
QStringList splitFields(const QString &line)
{
    QStringList fields(1);
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            fields.last() += line.at(++i);
        } else if (c == u',') {
            fields.append(QString());
        } else if (c == u';' || c == u'\n' || c == u'\r') {
            break;
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

QString fullNameOf(uid_t uid)
{
    const passwd *pw = ::getpwuid(uid);
    if (!pw || !pw->pw_gecos)
        return QString();
    // The GECOS field: the full name, then office and telephone.
    return QString::fromLocal8Bit(pw->pw_gecos).section(u',', 0, 0).trimmed();
}

QString userName()
{
    if (const passwd *pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace

QString LockOwner::who() const
{
    QString name = fullName.isEmpty() ? user : fullName;
    if (!fullName.isEmpty() && !user.isEmpty() && fullName != user)
        name += u" ("_s + user + u')';
    if (name.isEmpty())
        name = u"Someone"_s;
    if (!host.isEmpty())
        name += u" on the computer "_s + host;
    return name;
}

LockOwner LockOwner::thisProcess(const QString &dataFolder)
{
    LockOwner me;
    me.fullName = fullNameOf(::getuid());
    me.user = userName();
    me.host = QSysInfo::machineHostName();
    const QDateTime now = QDateTime::currentDateTime();
    me.since = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()));
    me.dataFolder = dataFolder.isEmpty() ? QString() : u"file://"_s + QDir::fromNativeSeparators(dataFolder);
    me.pid = ::getpid();
    return me;
}

QByteArray encodeLock(const LockOwner &owner)
{
    const QStringList fields = {escapeField(owner.fullName), escapeField(owner.host), escapeField(owner.user),
                                owner.since.toString(QLatin1StringView(kTimeFormat)),
                                escapeField(owner.dataFolder), QString::number(owner.pid)};
    return (fields.join(u',') + u';').toUtf8();
}

std::optional<LockOwner> decodeLock(QByteArrayView bytes)
{
    const QStringList fields = splitFields(QString::fromUtf8(bytes));
    if (fields.size() < 4)
        return std::nullopt;
    LockOwner owner;
    owner.fullName = fields.at(0);
    owner.host = fields.at(1);
    owner.user = fields.at(2);
    owner.since = QDateTime::fromString(fields.at(3).trimmed(), QLatin1StringView(kTimeFormat));
    owner.dataFolder = fields.value(4);
    owner.pid = fields.value(5).trimmed().toLongLong();
    return owner;
}

QString lockFilePath(const QString &file)
{
    const QFileInfo info(file);
    return info.absolutePath() + u"/.~lock."_s + info.fileName() + u'#';
}

LockState judgeLock(const LockOwner &owner, const LockOwner &me, const QDateTime &now)
{
    if (owner.isProcess(me))
        return LockState::Ours;
    if (owner.host == me.host && !owner.host.isEmpty() && owner.pid > 0) {
        // On this host the process tells: gone, the lock is left behind.
        // (EPERM: it runs, under another user.)
        const bool gone = ::kill(pid_t(owner.pid), 0) != 0 && errno == ESRCH;
        return gone ? LockState::Stale : LockState::Theirs;
    }
    // Elsewhere only its age tells. An unreadable time counts as old.
    if (!owner.since.isValid() || owner.since.secsTo(now) > kStaleAfterSeconds)
        return LockState::Stale;
    return LockState::Theirs;
}

LockLook lookAtLock(const QString &file, const LockOwner &me)
{
    LockLook look;
    QFile lock(lockFilePath(file));
    if (!lock.open(QIODevice::ReadOnly))
        return look;
    const std::optional<LockOwner> owner = decodeLock(lock.read(4096));
    if (!owner)
        return look;
    look.owner = *owner;
    look.state = judgeLock(*owner, me, QDateTime::currentDateTime());
    return look;
}

bool writeLock(const QString &file, const LockOwner &me, QString *error)
{
    QFile lock(lockFilePath(file));
    if (!lock.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = lock.errorString();
        return false;
    }
    const QByteArray bytes = encodeLock(me);
    if (lock.write(bytes) != bytes.size() || !lock.flush()) {
        if (error)
            *error = lock.errorString();
        return false;
    }
    return true;
}

void releaseLock(const QString &file, const LockOwner &me)
{
    const QString path = lockFilePath(file);
    QFile lock(path);
    if (!lock.open(QIODevice::ReadOnly))
        return;
    const std::optional<LockOwner> owner = decodeLock(lock.read(4096));
    lock.close();
    if (owner && owner->isProcess(me))
        QFile::remove(path);
}

} // namespace brevant
