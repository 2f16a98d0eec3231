#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QSaveFile>
#include <QString>

#include <memory>

namespace brevant {

// A streaming fingerprint of bytes (128-bit xxHash): fast enough to be
// taken while a file is written or read, without a pass of its own.
class Fingerprint {
public:
    Fingerprint();
    ~Fingerprint();
    Fingerprint(const Fingerprint &) = delete;
    Fingerprint &operator=(const Fingerprint &) = delete;

    void reset();
    void add(QByteArrayView bytes);
    // 16 bytes.
    QByteArray result() const;

    static QByteArray of(QByteArrayView bytes);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// What a file was when the program last read or wrote it: enough to tell
// later whether another program changed it meanwhile.
struct FileIdentity {
    bool exists = false;        // false: nothing there
    bool regular = false;       // an ordinary file (not a folder, a device...)
    qint64 size = -1;
    qint64 modifiedNs = 0;      // modification time, nanoseconds since the epoch
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray fingerprint;     // of the whole content; empty when not known

    bool known() const { return exists; }
    QDateTime modified() const;
    // Same size, time and file: the content is taken to be the same
    // without reading it.
    bool sameStat(const FileIdentity &other) const;

    // What is at path now, without its fingerprint.
    static FileIdentity at(const QString &path);
    // The same for an open file.
    static FileIdentity ofHandle(int fd);
};

// How a file stands against what the program last saw of it.
enum class DiskChange {
    Unchanged,   // the same bytes (perhaps touched, or written anew the same)
    Changed,     // other bytes
    Removed,     // nothing there: removed or renamed
    NotAFile,    // a folder or something else that is not an ordinary file
    Unreadable,  // changed by its time or size, and cannot be read to tell more
};

struct DiskCheck {
    DiskChange change = DiskChange::Unchanged;
    FileIdentity now;   // with its fingerprint when the bytes were read
};

// Compares the file at path with seen. Only when its size, time or inode
// differ are its bytes read, to tell a real change from a touch.
DiskCheck checkFile(const QString &path, const FileIdentity &seen);

// A QSaveFile that fingerprints what is written to it as it goes. Writing
// from the start, straight on, and starting again from the start (as a
// work file written over itself in UTF-8 does) keep the fingerprint; any
// other seek leaves it unknown.
class FingerprintingSaveFile : public QSaveFile {
public:
    using QSaveFile::QSaveFile;
    // Off: written as a plain QSaveFile, with no fingerprint.
    void setFingerprinting(bool on) { m_on = on; }
    // Before commit(): the identity the file will have once committed (its
    // fingerprint when every byte went through here).
    FileIdentity identity();

protected:
    qint64 writeData(const char *data, qint64 len) override;

private:
    Fingerprint m_print;
    qint64 m_printed = 0;
    bool m_broken = false;
    bool m_on = true;
};

} // namespace brevant
