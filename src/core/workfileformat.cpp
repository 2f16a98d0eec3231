#include "core/workfileformat.h"

#include "io/blockwriter.h"
#include "io/codepage.h"
#include "io/utf8.h"

#include <QBuffer>
#include <QFileDevice>
#include <QStringDecoder>

#include <algorithm>
#include <string_view>

namespace brevant {

namespace {

constexpr std::string_view kSeparatorView(kSeparator);

// Decodes a Windows-1252 piece, turning CR LF and a lone CR or LF into '\n'.
QString decodePiece(std::string_view bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            *out++ = u'\n';
        } else {
            *out++ = cp1252::toUnicode(b);
        }
    }
    text.truncate(out - begin);
    return text;
}

// The same for a UTF-8 piece. A U+FEFF the piece starts with is text (the
// file's own mark is gone by now); a sequence that is not UTF-8 becomes
// U+FFFD.
QString decodeUtf8Piece(std::string_view bytes)
{
    QStringDecoder toUtf16(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = toUtf16(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    qsizetype cr = text.indexOf(u'\r');
    if (cr < 0)
        return text;
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin + cr;
    const char16_t *in = out;
    const char16_t *const end = begin + text.size();
    while (in != end) {
        if (*in == u'\r') {
            *out++ = u'\n';
            if (++in != end && *in == u'\n')
                ++in;
        } else {
            *out++ = *in++;
        }
    }
    text.truncate(out - begin);
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

char *putLineEnd(char *p)
{
    *p++ = '\r';
    *p++ = '\n';
    return p;
}

// Writes one response in Windows-1252, each line break ('\n', or the
// paragraph or line separator of a box's raw text) as CR LF. At a character
// the code page cannot hold it stops: unstorable is set and nothing more
// is written.
char *putCodePageResponse(BlockWriter &w, char *p, QStringView text, bool &unstorable)
{
    return putText<PlainRuns::Lines>(w, p, text, [&unstorable](char *p, const char16_t *&at, const char16_t *end) {
        const char16_t u = *at;
        if (u == u'\n' || u == QChar::ParagraphSeparator || u == QChar::LineSeparator) {
            ++at;
            return putLineEnd(p);
        }
        const Character c = characterAt(at, end);
        const int b = cp1252::fromUnicode(c.code);
        if (b < 0) {
            unstorable = true;
            at = end;
            return p;
        }
        *p++ = char(b);
        at += c.units;
        return p;
    });
}

// Writes one response in UTF-8, each line break as CR LF; a lone surrogate,
// which no file can hold, as U+FFFD.
char *putUtf8Response(BlockWriter &w, char *p, QStringView text)
{
    return putText<PlainRuns::AsciiLines>(w, p, text, [](char *p, const char16_t *&at, const char16_t *end) {
        const Character c = characterAt(at, end);
        at += c.units;
        char32_t code = c.code;
        if (code < 0x80) {
            if (code == u'\n')
                *p++ = '\r';
            *p++ = char(code);
            return p;
        }
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator)
            return putLineEnd(p);
        if (code >= 0xD800 && code <= 0xDFFF)
            code = 0xFFFD;
        if (code < 0x800) {
            *p++ = char(0xC0 | (code >> 6));
        } else if (code < 0x10000) {
            *p++ = char(0xE0 | (code >> 12));
            *p++ = char(0x80 | ((code >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (code >> 18));
            *p++ = char(0x80 | ((code >> 12) & 0x3F));
            *p++ = char(0x80 | ((code >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (code & 0x3F));
        return p;
    });
}

// Writes the work file in one encoding. In Windows-1252 it stops at the
// first character the code page cannot hold and returns false with
// *unstorable set; otherwise false means the device failed. check, when
// given, sees every byte written.
bool encodeWorkFile(QIODevice &out, const QStringList &responses, WorkFileEncoding encoding,
                    bool *unstorable, Utf8Check *check)
{
    bool stopped = false;
    BlockWriter w(out);
    if (check)
        w.watch([check](QByteArrayView bytes) { check->add(bytes); });
    char *p = w.start();
    if (encoding == WorkFileEncoding::Utf8)
        p = w.append(p, kUtf8Mark);
    for (int k = 0; k < kItemCount && w.ok() && !stopped; ++k) {
        if (k > 0)
            p = w.append(p, "%%%%\r\n");
        if (k < responses.size()) {
            p = encoding == WorkFileEncoding::Utf8 ? putUtf8Response(w, p, responses.at(k))
                                                   : putCodePageResponse(w, p, responses.at(k), stopped);
        }
        p = w.append(p, "\r\n");
    }
    if (unstorable)
        *unstorable = stopped;
    return w.finish(p) && !stopped;
}

} // namespace

QByteArray TextToFile(const QStringList &responses)
{
    // Room for the most the responses can take in Windows-1252 (a line
    // break is two bytes), so the bytes never move while they grow: only
    // the part written is ever touched.
    qsizetype units = 0;
    for (const QString &text : responses)
        units += text.size();
    QByteArray bytes;
    bytes.reserve(kItemCount * 8 + 2 * units);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TextToFile(buffer, responses);
    return bytes;
}

bool TextToFile(QIODevice &out, const QStringList &responses)
{
    // Which encoding holds the responses is known once they are written.
    // A device that cannot be written over from where it was (a pipe, a
    // device of unknown kind) is handed the file made in memory.
    const bool overwritable = !out.isSequential()
        && (qobject_cast<QFileDevice *>(&out) != nullptr || qobject_cast<QBuffer *>(&out) != nullptr);
    if (!overwritable) {
        const QByteArray bytes = TextToFile(responses);
        return out.write(bytes) == bytes.size();
    }
    // Windows-1252 as long as every character has its byte, and as long as
    // the reader will not take those bytes for UTF-8 (text such as "Ã©"
    // would come back as "é").
    const qint64 start = out.pos();
    bool unstorable = false;
    Utf8Check check;
    if (encodeWorkFile(out, responses, WorkFileEncoding::Windows1252, &unstorable, &check)) {
        if (check.result() != TextBytes::Utf8)
            return true;
    } else if (!unstorable) {
        return false;
    }
    // Else the whole file again, in UTF-8, over what was written. It is
    // longer than that (the mark comes first, and every character takes at
    // least as many bytes as in the code page), so nothing is left over.
    if (!out.seek(start))
        return false;
    if (!encodeWorkFile(out, responses, WorkFileEncoding::Utf8, nullptr, nullptr))
        return false;
    auto *file = qobject_cast<QFileDevice *>(&out);
    return !file || file->size() <= out.pos() || (file->flush() && file->resize(out.pos()));
}

WorkFileContents parseWorkFile(QByteArrayView bytes)
{
    WorkFileContents contents;
    // UTF-8 with its mark (which is no part of the first response), or
    // without it when the bytes are UTF-8 and not all ASCII; Windows-1252
    // otherwise, as every work file was before.
    if (bytes.startsWith(QByteArrayView(kUtf8Mark))) {
        contents.encoding = WorkFileEncoding::Utf8;
        bytes = bytes.sliced(3);
    } else if (classifyText(bytes) == TextBytes::Utf8) {
        contents.encoding = WorkFileEncoding::Utf8;
    }
    const bool utf8 = contents.encoding == WorkFileEncoding::Utf8;
    const std::string_view all(bytes.data(), std::size_t(bytes.size()));
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
            contents.responses << (utf8 ? decodeUtf8Piece(piece) : decodePiece(piece));
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
        // From one percent sign to the next: text seldom has them.
        const QStringView text = responses.at(k);
        for (qsizetype at = text.indexOf(u'%'); at >= 0; at = text.indexOf(u'%', at + 1)) {
            if (text.sliced(at).startsWith(QLatin1StringView(kSeparator))) {
                items << k + 1;
                break;
            }
        }
    }
    return items;
}

} // namespace brevant
