#include "io/files.h"

#include "io/fileidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace brevant {

namespace {

bool isCharacterDevice(const QString &path)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    return ::stat(name.constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace

bool writeFileSafely(const QString &path, QByteArrayView bytes, QString *error)
{
    return writeFileSafely(
        path, [bytes](QIODevice &out) { return out.write(bytes.data(), bytes.size()) == bytes.size(); },
        error);
}

bool writeFileSafely(const QString &path, const ContentWriter &write, QString *error, FileIdentity *written)
{
    const QFileInfo info(path);
    if (path.isEmpty()) {
        *error = QStringLiteral("No file name was given.");
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("It is a folder, not a file.");
        return false;
    }
    if (info.exists() && !info.isFile()) {
        // A device cannot be replaced by renaming a file over it: write to
        // it directly. Anything else that is not a plain file is refused.
        if (!isCharacterDevice(path)) {
            *error = QStringLiteral("It is not an ordinary file.");
            return false;
        }
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly) || !write(device) || !device.flush()) {
            *error = device.errorString();
            return false;
        }
        device.close();
        if (device.error() != QFileDevice::NoError) {
            *error = device.errorString();
            return false;
        }
        return true;
    }
    FingerprintingSaveFile file(path);
    file.setFingerprinting(written != nullptr);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // commit() does not notice a failure of the last buffered write (a full
    // disk, say) and would rename a cut-short file over the old one: flush
    // and sync here, where a failure still leaves the old file alone.
    if (!write(file) || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    // The data only, as commit() syncs it too (which then finds nothing left
    // to do). EINVAL: a file system that cannot sync; the data is written
    // all the same.
    if (::fdatasync(file.handle()) != 0 && errno != EINVAL) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
    // Its size and time are those it keeps once renamed.
    if (written)
        *written = file.identity();
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

void keepNewestFiles(const QString &folder, int keep)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Time);
    for (qsizetype i = keep; i < files.size(); ++i)
        QFile::remove(files.at(i).filePath());
}

} // namespace brevant
