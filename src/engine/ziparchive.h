#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

struct zip;
struct zip_source;

namespace brevant {

// A zip archive made in memory (libzip), for the report's documents: a
// Word document is a zip of XML parts, an OpenDocument file one with its
// mimetype first and stored.
class ZipArchive {
public:
    // A new, empty archive; check isOpen().
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Why the last step failed.
    QString errorString() const { return m_error; }

    // Adds the member, or replaces the one of that name, compressed
    // (deflate) or stored as it is.
    enum class Compression { Deflate, Store };
    bool put(const QString &name, const QByteArray &bytes, Compression compression = Compression::Deflate);
    // The time every member is stamped with when the archive is written
    // (none: libzip's, the time of writing).
    void setTime(const QDateTime &time) { m_time = time; }
    // The archive's bytes with every change; empty when it could not be
    // written. The archive is closed after this.
    QByteArray finish();

    // A document's archive: these members in this order, each stamped with
    // made. Empty, with the reason in *error, when it could not be made.
    struct Member {
        QString name;
        QByteArray bytes;
        Compression compression = Compression::Deflate;
    };
    static QByteArray zipped(const QList<Member> &members, const QDateTime &made, QString *error);

private:
    bool fail(const QString &what);

    zip_source *m_source = nullptr;   // the archive's bytes, kept past the close
    zip *m_zip = nullptr;
    QDateTime m_time;
    QList<QByteArray> m_members;      // what put() handed to libzip, kept until the close
    QString m_error;
};

} // namespace brevant
