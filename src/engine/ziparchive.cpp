#include "engine/ziparchive.h"

#include <zip.h>

#include <cstdio>
#include <limits>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// The most a QByteArray holds, well above any report.
constexpr zip_uint64_t kMaxBytes = zip_uint64_t(std::numeric_limits<qsizetype>::max() / 2);

QString errorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

ZipArchive::ZipArchive()
{
    zip_error_t error;
    zip_error_init(&error);
    m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (m_source) {
        m_zip = zip_open_from_source(m_source, ZIP_CREATE | ZIP_TRUNCATE, &error);
        // The archive took the source; a second reference keeps it past
        // zip_close(), which writes the archive into it.
        if (m_zip)
            zip_source_keep(m_source);
    }
    if (!m_zip)
        m_error = u"The document's archive could not be opened: "_s + errorText(&error);
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
    if (m_source)
        zip_source_free(m_source);
}

bool ZipArchive::fail(const QString &what)
{
    m_error = what + u": "_s + QString::fromLocal8Bit(m_zip ? zip_strerror(m_zip) : "closed");
    return false;
}

bool ZipArchive::put(const QString &name, const QByteArray &bytes, Compression compression)
{
    if (!m_zip)
        return false;
    // libzip reads the bytes when the archive is closed.
    m_members.append(bytes);
    const QByteArray &kept = m_members.last();
    zip_source_t *member = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!member)
        return fail(u"%1 could not be added"_s.arg(name));
    const QByteArray path = name.toUtf8();
    const zip_int64_t index = zip_file_add(m_zip, path.constData(), member, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(member);
        return fail(u"%1 could not be added"_s.arg(name));
    }
    const zip_int32_t method = compression == Compression::Store ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), method, 0) != 0)
        return fail(u"%1 could not be compressed"_s.arg(name));
    return true;
}

QByteArray ZipArchive::finish()
{
    if (!m_zip)
        return QByteArray();
    if (m_time.isValid()) {
        const auto when = time_t(m_time.toSecsSinceEpoch());
        const zip_int64_t count = zip_get_num_entries(m_zip, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            if (zip_file_set_mtime(m_zip, zip_uint64_t(i), when, 0) != 0) {
                fail(u"The document's archive could not be dated"_s);
                return QByteArray();
            }
        }
    }
    if (zip_close(m_zip) != 0) {
        fail(u"The document's archive could not be written"_s);
        zip_discard(m_zip);
        m_zip = nullptr;
        return QByteArray();
    }
    m_zip = nullptr;
    m_members.clear();

    QByteArray bytes;
    zip_error_t *error = zip_source_error(m_source);
    if (zip_source_open(m_source) != 0) {
        m_error = u"The document's archive could not be read back: "_s + errorText(error);
        return QByteArray();
    }
    zip_int64_t size = -1;
    if (zip_source_seek(m_source, 0, SEEK_END) == 0)
        size = zip_source_tell(m_source);
    if (size > 0 && zip_uint64_t(size) <= kMaxBytes && zip_source_seek(m_source, 0, SEEK_SET) == 0) {
        bytes.resize(qsizetype(size));
        if (zip_source_read(m_source, bytes.data(), zip_uint64_t(size)) != size)
            bytes.clear();
    }
    if (bytes.isEmpty())
        m_error = u"The document's archive could not be read back: "_s + errorText(error);
    zip_source_close(m_source);
    return bytes;
}

QByteArray ZipArchive::zipped(const QList<Member> &members, const QDateTime &made, QString *error)
{
    ZipArchive zip;
    zip.setTime(made);
    bool put = zip.isOpen();
    for (qsizetype i = 0; put && i < members.size(); ++i)
        put = zip.put(members[i].name, members[i].bytes, members[i].compression);
    const QByteArray bytes = put ? zip.finish() : QByteArray();
    if (bytes.isEmpty() && error)
        *error = zip.errorString();
    return bytes;
}

} // namespace brevant
