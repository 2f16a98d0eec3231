#include "workfile/workfileformat.h"

#include "workfile/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace brevant {

namespace {

constexpr std::string_view kSeparatorView(kSeparator);

// Decodes a piece, turning CR LF and a lone CR or LF into '\n'.
QString decodePiece(std::string_view bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    const char16_t *end = cp1252::decodeTo(begin, QByteArrayView(bytes.data(), qsizetype(bytes.size())), true);
    text.truncate(end - begin);
    return text;
}

void dropLeadingLineEnd(std::string_view &piece)
{
    if (piece.starts_with("\r\n"))
        piece.remove_prefix(2);
    else if (piece.starts_with('\n'))
        piece.remove_prefix(1);
}

void dropTrailingLineEnd(std::string_view &piece)
{
    if (piece.ends_with("\r\n"))
        piece.remove_suffix(2);
    else if (piece.ends_with('\n'))
        piece.remove_suffix(1);
}

bool isCharacterDevice(const QString &path)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    return ::stat(name.constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace

QByteArray TextToFile(const QStringList &responses)
{
    // Room for every response with its line breaks doubled, plus the
    // line ends and separators of the layout.
    qsizetype size = 0;
    for (int k = 0; k < kItemCount && k < responses.size(); ++k)
        size += responses.at(k).size() + responses.at(k).count(QLatin1Char('\n'));
    size += kItemCount * 2 + (kItemCount - 1) * 6;
    QByteArray out(size, Qt::Uninitialized);
    char *p = out.data();
    for (int k = 0; k < kItemCount; ++k) {
        if (k > 0) {
            std::memcpy(p, "%%%%\r\n", 6);
            p += 6;
        }
        if (k < responses.size())
            p = cp1252::encodeTo(p, responses.at(k), true);
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - out.constData());
    return out;
}

EncodedResponse encodeResponse(QStringView text)
{
    // One pass the compiler can vectorise.
    qsizetype lineBreaks = 0;
    const char16_t *const units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        lineBreaks += (units[i] == u'\n') | (units[i] == 0x2029) | (units[i] == 0x2028);
    EncodedResponse response;
    response.bytes.resize(text.size() + lineBreaks);
    char *const begin = response.bytes.data();
    char *const end = cp1252::encodeLinesTo(begin, text, &response.unstorable);
    response.bytes.truncate(end - begin);
    response.holdsSeparator = response.bytes.contains(QByteArrayView(kSeparator));
    return response;
}

QList<QByteArrayView> workFilePieces(const QList<QByteArray> &responses)
{
    static constexpr char kBetween[] = "\r\n%%%%\r\n";
    QList<QByteArrayView> pieces;
    pieces.reserve(2 * kItemCount);
    for (int k = 0; k < kItemCount; ++k) {
        if (k > 0)
            pieces << QByteArrayView(kBetween);
        if (k < responses.size())
            pieces << QByteArrayView(responses.at(k));
    }
    pieces << QByteArrayView("\r\n");
    return pieces;
}

WorkFileContents parseWorkFile(QByteArrayView bytes)
{
    const std::string_view all(bytes.data(), std::size_t(bytes.size()));
    WorkFileContents contents;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = all.find(kSeparatorView, start);
        const bool last = cut == std::string_view::npos;
        std::string_view piece = all.substr(start, last ? std::string_view::npos : cut - start);
        ++contents.pieces;
        if (contents.pieces <= kItemCount) {
            // The writer puts a line end after every response and one after
            // every separator; those belong to the format, not the text.
            if (contents.pieces > 1)
                dropLeadingLineEnd(piece);
            dropTrailingLineEnd(piece);
            contents.responses << decodePiece(piece);
        }
        if (last)
            break;
        start = cut + kSeparatorView.size();
    }
    return contents;
}

QList<int> itemsHoldingSeparator(const QStringList &responses)
{
    QList<int> items;
    for (int k = 0; k < responses.size() && k < kItemCount; ++k) {
        if (responses.at(k).contains(QLatin1StringView(kSeparator)))
            items << k + 1;
    }
    return items;
}

QList<UnstorableCharacters> unstorableCharacters(const QStringList &responses)
{
    QList<UnstorableCharacters> found;
    for (int k = 0; k < responses.size() && k < kItemCount; ++k) {
        const QString &text = responses.at(k);
        UnstorableCharacters entry;
        entry.item = k + 1;
        QSet<char32_t> seen;
        for (auto u = cp1252::findUnmappable(text); u.position >= 0;
             u = cp1252::findUnmappable(text, u.position + u.length)) {
            if (!seen.contains(u.character)) {
                seen.insert(u.character);
                entry.characters << u.character;
            }
        }
        if (!entry.characters.isEmpty())
            found << entry;
    }
    return found;
}

bool writeFileSafely(const QString &path, QByteArrayView bytes, QString *error)
{
    return writeFileSafely(path, QList<QByteArrayView>{bytes}, error);
}

namespace {

bool writePieces(QFileDevice &file, const QList<QByteArrayView> &pieces)
{
    for (QByteArrayView piece : pieces) {
        if (file.write(piece.data(), piece.size()) != piece.size())
            return false;
    }
    return true;
}

} // namespace

bool writeFileSafely(const QString &path, const QList<QByteArrayView> &pieces, QString *error)
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
        if (!device.open(QIODevice::WriteOnly) || !writePieces(device, pieces) || !device.flush()) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // commit() does not notice a failure of the last buffered write (a full
    // disk, say) and would rename a cut-short file over the old one: flush
    // and sync here, where a failure still leaves the old file alone.
    if (!writePieces(file, pieces) || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    // EINVAL: a file system that cannot sync; the data is written all the same.
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace brevant
