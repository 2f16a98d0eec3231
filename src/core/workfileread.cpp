#include "core/workfileread.h"

#include <QFile>
#include <QFileInfo>

namespace brevant {

namespace {

WorkFileReading refused(const QString &reason)
{
    WorkFileReading reading;
    reading.reason = reason;
    return reading;
}

} // namespace

WorkFileReading TextFromFile(const QString &path, const std::function<void(bool)> &reading)
{
    const QFileInfo info(path);
    if (info.isDir())
        return refused(QStringLiteral("it is a folder, not a file."));
    if (info.exists() && !info.isFile())
        return refused(QStringLiteral("it is not an ordinary file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.errorString());
    const qint64 size = file.size();
    if (size > kMaxWorkFileSize) {
        return refused(QStringLiteral("it holds %1 MiB, far more than any work file (at most %2 MiB).")
                           .arg(size / (1024 * 1024))
                           .arg(kMaxWorkFileSize / (1024 * 1024)));
    }

    if (reading)
        reading(true);
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    const QString readError = file.errorString();
    const FileIdentity identity = FileIdentity::ofHandle(file.handle());
    file.close();
    if (reading)
        reading(false);
    if (readFailed)
        return refused(readError);

    WorkFileReading result;
    result.contents = parseWorkFile(bytes);
    if (!result.contents.complete()) {
        return refused(bytes.isEmpty()
                           ? QStringLiteral("the file is empty; a work file holds 27 responses.")
                           : QStringLiteral("it is not a complete work file. It holds %1 of the 27 responses.")
                                 .arg(result.contents.pieces));
    }
    result.ok = true;
    result.identity = identity;
    result.identity.fingerprint = Fingerprint::of(bytes);
    return result;
}

} // namespace brevant
