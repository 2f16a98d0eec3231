#include "files.h"

#include <QFile>

namespace brevant::test {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    // A file of /proc has no size: read it to the end, not to its size.
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return bytes;
    }
    return "<cannot read " + QFile::encodeName(path) + ": " + file.errorString().toUtf8() + '>';
}

bool writeFileBytes(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size()
        && file.flush();
}

} // namespace brevant::test
