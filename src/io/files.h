#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

namespace brevant {

struct FileIdentity;

// Puts the content of a file on a device; false when the device failed.
using ContentWriter = std::function<bool(QIODevice &)>;

// Writes a file through write so that a file already at path is replaced
// only by a complete new one: through a temporary file beside it, flushed
// to the disk and renamed over it at the end. A character device (such as
// /dev/null) is written in place instead. On failure returns false with
// the system's reason in *error and leaves any file at path as it was.
// written, when given, receives the identity of the file written (with the
// fingerprint of its bytes, taken as they went by).
bool writeFileSafely(const QString &path, const ContentWriter &write, QString *error,
                     FileIdentity *written = nullptr);
// The same for bytes at hand.
bool writeFileSafely(const QString &path, QByteArrayView bytes, QString *error);

// Puts the folder's entries (a file just renamed into it) on the disk.
// Returns false when the system says it could not.
bool syncFolder(const QString &folder);

// Keeps the newest `keep` files of a folder (by the time they were last
// written) and removes the others.
void keepNewestFiles(const QString &folder, int keep);

} // namespace brevant
