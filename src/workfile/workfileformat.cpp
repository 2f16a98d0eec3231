#include "workfile/workfileformat.h"

#include "io/blockwriter.h"
#include "io/codepage.h"

#include <QBuffer>
#include <QSet>

#include <algorithm>
#include <string_view>

namespace brevant {

namespace {

constexpr std::string_view kSeparatorView(kSeparator);

// Decodes a piece, turning CR LF and a lone CR or LF into '\n'.
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

// Writes one response: each '\n' as CR LF, '?' for what the code page
// cannot hold.
char *putResponse(BlockWriter &w, char *p, QStringView text, bool &unstorable)
{
    return putText(w, p, text, [&unstorable](char *p, const char16_t *&at, const char16_t *end) {
        const char16_t u = *at;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            if (u == u'\n')
                *p++ = '\r';
            *p++ = char(u);
            ++at;
            return p;
        }
        const Character c = characterAt(at, end);
        const int b = cp1252::fromUnicode(c.code);
        *p++ = b < 0 ? '?' : char(b);
        unstorable |= b < 0;
        at += c.units;
        return p;
    });
}

} // namespace

bool TextToFile(QIODevice &out, const QStringList &responses, bool *putQuestionMarks)
{
    bool unstorable = false;
    BlockWriter w(out);
    char *p = w.start();
    for (int k = 0; k < kItemCount && w.ok(); ++k) {
        if (k > 0)
            p = w.append(p, "%%%%\r\n");
        if (k < responses.size())
            p = putResponse(w, p, responses.at(k), unstorable);
        p = w.append(p, "\r\n");
    }
    if (putQuestionMarks)
        *putQuestionMarks = unstorable;
    return w.finish(p);
}

QByteArray TextToFile(const QStringList &responses, bool *putQuestionMarks)
{
    // Room for the most the responses can take (a line break is two
    // bytes), so the bytes never move while they grow: only the part
    // written is ever touched.
    qsizetype size = kItemCount * 8;
    for (const QString &text : responses)
        size += 2 * text.size();
    QByteArray bytes;
    bytes.reserve(size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TextToFile(buffer, responses, putQuestionMarks);
    return bytes;
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

QList<UnstorableCharacters> unstorableCharacters(const QStringList &responses)
{
    QList<UnstorableCharacters> found;
    for (int k = 0; k < responses.size() && k < kItemCount; ++k) {
        const QString &text = responses.at(k);
        UnstorableCharacters entry;
        entry.item = k + 1;
        QSet<char32_t> seen;
        const char16_t *at = QStringView(text).utf16();
        const char16_t *const end = at + text.size();
        while (at != end) {
            at = cp1252::ownByteRunEnd(at, end);
            if (at == end)
                break;
            const Character c = characterAt(at, end);
            at += c.units;
            if (cp1252::fromUnicode(c.code) < 0 && !seen.contains(c.code)) {
                seen.insert(c.code);
                entry.characters << c.code;
            }
        }
        if (!entry.characters.isEmpty())
            found << entry;
    }
    return found;
}

} // namespace brevant
