#include "workfile/recoveryfile.h"

#include "io/files.h"

#include "core/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kKind = u"brevant recovery copy"_s;

QJsonArray toArray(const QStringList &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

// The strings of an array of exactly `count` strings.
std::optional<QStringList> stringsOf(const QJsonValue &value, int count)
{
    if (!value.isArray() || value.toArray().size() != count)
        return std::nullopt;
    QStringList texts;
    texts.reserve(count);
    for (const QJsonValue &v : value.toArray()) {
        if (!v.isString())
            return std::nullopt;
        texts << v.toString();
    }
    return texts;
}

} // namespace

int RecoveryCopy::filledResponses() const
{
    int filled = 0;
    for (const QString &r : responses)
        filled += r.isEmpty() ? 0 : 1;
    return filled;
}

bool RecoveryCopy::holdsWork() const
{
    if (filledResponses() > 0)
        return true;
    for (const QString &a : answers) {
        if (a != "Yes"_L1)
            return true;
    }
    return false;
}

QByteArray encodeRecoveryCopy(const RecoveryCopy &copy)
{
    QJsonObject object;
    object.insert(u"kind"_s, kKind);
    object.insert(u"version"_s, kRecoveryFormatVersion);
    object.insert(u"changed"_s, copy.changed.toUTC().toString(Qt::ISODateWithMs));
    object.insert(u"Name_File"_s, copy.nameFile);
    object.insert(u"FileName"_s, copy.fileName);
    object.insert(u"responses"_s, toArray(copy.responses));
    object.insert(u"answers"_s, toArray(copy.answers));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<RecoveryCopy> decodeRecoveryCopy(const QByteArray &bytes, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (bytes.trimmed().isEmpty())
        return refuse(u"the copy is empty"_s);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(u"the copy is damaged: "_s + error.errorString());
    const QJsonObject object = document.object();
    if (!document.isObject() || object.value(u"kind"_s).toString() != kKind)
        return refuse(u"the file is not a recovery copy of this program"_s);
    const QJsonValue version = object.value(u"version"_s);
    if (!version.isDouble() || version.toDouble() < 1)
        return refuse(u"the copy has no valid version"_s);
    if (version.toDouble() > kRecoveryFormatVersion)
        return refuse(u"the copy was written by a later version of the program"_s);

    RecoveryCopy copy;
    copy.changed = QDateTime::fromString(object.value(u"changed"_s).toString(), Qt::ISODateWithMs);
    const std::optional<QStringList> responses = stringsOf(object.value(u"responses"_s), kItemCount);
    const std::optional<QStringList> answers = stringsOf(object.value(u"answers"_s), kAnswerCount);
    const QJsonValue nameFile = object.value(u"Name_File"_s);
    const QJsonValue fileName = object.value(u"FileName"_s);
    if (!copy.changed.isValid() || !responses || !answers || !nameFile.isString() || !fileName.isString())
        return refuse(u"the copy is damaged: a part of it is missing or malformed"_s);
    copy.responses = *responses;
    copy.answers = *answers;
    copy.nameFile = nameFile.toString();
    copy.fileName = fileName.toString();
    return copy;
}

RecoveryFolder::RecoveryFolder(const QString &path) : m_path(path) {}

QString RecoveryFolder::setAsidePath() const
{
    return m_path + u"/set-aside"_s;
}

QString RecoveryFolder::copyPath(const QString &session) const
{
    return m_path + u'/' + session + u".json"_s;
}

QString RecoveryFolder::lockPath(const QString &session) const
{
    return m_path + u'/' + session + u".lock"_s;
}

QString RecoveryFolder::newSession()
{
    return QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-HHmmss-zzz"_s) + u'-'
        + QString::number(QCoreApplication::applicationPid());
}

std::vector<RecoveryFolder::Orphan> RecoveryFolder::claimOrphans(const QString &own) const
{
    std::vector<Orphan> orphans;
    const QDir dir(m_path);
    // Newest first: the copy changed last is the one most worth offering.
    const QFileInfoList copies = dir.entryInfoList({u"*.json"_s}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : copies) {
        const QString session = info.completeBaseName();
        if (session == own)
            continue;
        auto lock = std::make_shared<QLockFile>(lockPath(session));
        // A copy's lock is held for as long as its program runs, however
        // long that is: only a program that is gone lets it go.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0))
            orphans.push_back({session, info.filePath(), lock});
    }
    // Locks of programs that ended with nothing left to offer.
    for (const QFileInfo &info : dir.entryInfoList({u"*.lock"_s}, QDir::Files)) {
        const QString session = info.completeBaseName();
        if (session == own || QFileInfo::exists(copyPath(session)))
            continue;
        QLockFile lock(info.filePath());
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
    return orphans;
}

bool RecoveryFolder::setAside(const QString &copyPath, QString *error) const
{
    const QString folder = setAsidePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = u"The folder %1 cannot be made."_s.arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QFileInfo info(copyPath);
    QString target = folder + u'/' + info.fileName();
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = folder + u'/' + info.completeBaseName() + u'-' + QString::number(n) + u".json"_s;
    QFile file(copyPath);
    if (!file.rename(target)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    keepNewestFiles(folder, kKeptSetAside);
    return true;
}

} // namespace brevant
