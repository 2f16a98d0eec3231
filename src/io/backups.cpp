#include "io/backups.h"


#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

QString BackupKeeper::key(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString BackupKeeper::failureText(const QString &reason) const
{
    return u"The program cannot keep a copy of the file that this save replaces: the folder\r\n%1\r\n"
           "cannot be written. %2\r\n\r\nThe save goes on without that copy."_s
        .arg(QDir::toNativeSeparators(m_folder), reason);
}

QString BackupKeeper::keptText(const QString &copy)
{
    return u"The file's earlier content is kept in "_s + QDir::toNativeSeparators(copy);
}

QString BackupKeeper::keptToTellOnce()
{
    if (m_kept.isEmpty() || m_toldKept)
        return QString();
    m_toldKept = true;
    return m_kept;
}

bool BackupKeeper::beforeReplacing(const QString &path, const ContentWriter &content, QString *error)
{
    m_kept.clear();
    const QFileInfo info(path);
    if (!info.isFile() || m_done.contains(key(path)))
        return true;
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly))
        return true;   // what cannot be read cannot be kept; the save says the rest
    const QByteArray bytes = old.readAll();
    old.close();
    if (content) {
        QByteArray fresh;
        QBuffer buffer(&fresh);
        buffer.open(QIODevice::WriteOnly);
        if (content(buffer) && fresh == bytes)
            return true;
    }
    const QString target = keepBytes(info, bytes, error);
    if (target.isEmpty())
        return false;
    m_done.insert(key(path));
    m_kept = target;
    return true;
}

QString BackupKeeper::keepNow(const QString &path, QString *error)
{
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly)) {
        *error = old.errorString();
        return QString();
    }
    const QByteArray bytes = old.readAll();
    if (old.error() != QFileDevice::NoError) {
        *error = old.errorString();
        return QString();
    }
    const QString target = keepBytes(QFileInfo(path), bytes, error);
    if (!target.isEmpty())
        m_done.insert(key(path));
    return target;
}

QString BackupKeeper::keepBytes(const QFileInfo &info, const QByteArray &bytes, QString *error)
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH.mm.ss"_s);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString base = m_folder + u'/' + info.completeBaseName() + u' ' + stamp;
    QString target = base + suffix;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + u" ("_s + QString::number(n) + u')' + suffix;
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        if (error)
            *error = u"The folder cannot be made."_s;
        return QString();
    }
    if (!writeFileSafely(target, QByteArrayView(bytes), error))
        return QString();
    keepNewestFiles(m_folder, kKept);
    return target;
}

void BackupKeeper::written(const QString &path)
{
    m_done.insert(key(path));
}

} // namespace brevant
