#include "io/fileidentity.h"

#include <QFile>

#include <sys/stat.h>
#include <xxhash.h>

namespace brevant {

struct Fingerprint::State {
    XXH3_state_t *xxh = XXH3_createState();
    ~State() { XXH3_freeState(xxh); }
};

Fingerprint::Fingerprint() : m_state(std::make_unique<State>())
{
    reset();
}

Fingerprint::~Fingerprint() = default;

void Fingerprint::reset()
{
    XXH3_128bits_reset(m_state->xxh);
}

void Fingerprint::add(QByteArrayView bytes)
{
    XXH3_128bits_update(m_state->xxh, bytes.data(), size_t(bytes.size()));
}

QByteArray Fingerprint::result() const
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(m_state->xxh));
    return QByteArray(reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest);
}

QByteArray Fingerprint::of(QByteArrayView bytes)
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits(bytes.data(), size_t(bytes.size())));
    return QByteArray(reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest);
}

namespace {

FileIdentity fromStat(const struct stat &st)
{
    FileIdentity id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    return id;
}

// The file's bytes fingerprinted a block at a time; nothing when it
// cannot be read.
std::optional<QByteArray> fingerprintFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Fingerprint print;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(block.data(), block.size());
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        print.add(QByteArrayView(block.constData(), n));
    }
    return print.result();
}

} // namespace

QDateTime FileIdentity::modified() const
{
    return QDateTime::fromMSecsSinceEpoch(modifiedNs / 1000000);
}

bool FileIdentity::sameStat(const FileIdentity &other) const
{
    return exists == other.exists && regular == other.regular && size == other.size
        && modifiedNs == other.modifiedNs && device == other.device && inode == other.inode;
}

FileIdentity FileIdentity::at(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return fromStat(st);
}

FileIdentity FileIdentity::ofHandle(int fd)
{
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return fromStat(st);
}

DiskCheck checkFile(const QString &path, const FileIdentity &seen)
{
    DiskCheck check;
    check.now = FileIdentity::at(path);
    if (!check.now.exists) {
        check.change = DiskChange::Removed;
        return check;
    }
    if (!check.now.regular) {
        check.change = DiskChange::NotAFile;
        return check;
    }
    if (check.now.sameStat(seen)) {
        check.now.fingerprint = seen.fingerprint;
        check.change = DiskChange::Unchanged;
        return check;
    }
    // Touched, copied back, or written anew by a program that wrote the
    // same bytes: only the bytes tell.
    const std::optional<QByteArray> print = fingerprintFile(path);
    if (!print) {
        check.change = DiskChange::Unreadable;
        return check;
    }
    check.now.fingerprint = *print;
    const bool same = !seen.fingerprint.isEmpty() && *print == seen.fingerprint;
    check.change = same ? DiskChange::Unchanged : DiskChange::Changed;
    return check;
}

qint64 FingerprintingSaveFile::writeData(const char *data, qint64 len)
{
    if (!m_on)
        return QSaveFile::writeData(data, len);
    const qint64 at = pos();
    if (at == 0 && m_printed != 0) {
        // Written again from the start.
        m_print.reset();
        m_printed = 0;
    }
    const qint64 written = QSaveFile::writeData(data, len);
    if (written > 0) {
        if (at == m_printed) {
            m_print.add(QByteArrayView(data, written));
            m_printed += written;
        } else {
            m_broken = true;
        }
    }
    return written;
}

FileIdentity FingerprintingSaveFile::identity()
{
    flush();
    FileIdentity id = FileIdentity::ofHandle(handle());
    if (id.exists && m_on && !m_broken && m_printed == id.size)
        id.fingerprint = m_print.result();
    return id;
}

} // namespace brevant
