#include "workfile/backups.h"

#include "workfile/recoveryfile.h"

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
    QByteArray fresh;
    QBuffer buffer(&fresh);
    buffer.open(QIODevice::WriteOnly);
    if (content(buffer) && fresh == bytes)
        return true;

    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH.mm.ss"_s);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString base = m_folder + u'/' + info.completeBaseName() + u' ' + stamp;
    QString target = base + suffix;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + u" ("_s + QString::number(n) + u')' + suffix;
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        if (error)
            *error = u"The folder cannot be made."_s;
        return false;
    }
    if (!writeFileSafely(target, QByteArrayView(bytes), error))
        return false;
    keepNewestFiles(m_folder, kKept);
    m_done.insert(key(path));
    m_kept = target;
    return true;
}

void BackupKeeper::written(const QString &path)
{
    m_done.insert(key(path));
}

} // namespace brevant
