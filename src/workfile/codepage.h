#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace brevant {

// Windows-1252, the 8-bit code page of work files.
//
// Every byte decodes to one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the control
// characters of the same number, so decoding and encoding again gives back
// every byte string unchanged.
namespace cp1252 {

// The byte for a character, or -1 when the code page has none.
int fromUnicode(char32_t c);
// The character for a byte.
char16_t toUnicode(unsigned char b);

QString decode(QByteArrayView bytes);
// Writes the decoded bytes at out and returns the end; with lineEnds, CR LF
// and a lone CR are written as '\n'. out must have room for bytes.size()
// units.
char16_t *decodeTo(char16_t *out, QByteArrayView bytes, bool lineEnds);
// Characters the code page cannot hold become '?'.
QByteArray encode(QStringView text);
void appendEncoded(QByteArray &out, QStringView text);
// Writes the encoded text at out and returns the end; with crlf, every
// '\n' is written as CR LF. out must have room for text.size() bytes, plus
// one for each '\n' with crlf.
char *encodeTo(char *out, QStringView text, bool crlf);

// Writes a text box's text encoded at out and returns the end: as encodeTo
// with crlf, where U+2029 (how a box ends its paragraphs) and U+2028 (the
// line break of Shift+Enter) are line breaks too. Every character the code page cannot hold becomes '?' and, when
// unmappable is given, is added to it (each once, in order of appearance).
// out must have room for text.size() bytes plus one per line break.
char *encodeLinesTo(char *out, QStringView text, QList<char32_t> *unmappable);

// The first character of text the code page cannot hold at or after from,
// as (position, code point); position -1 when there is none. A surrogate
// pair counts as one character, a lone surrogate as one.
struct Unmappable {
    qsizetype position = -1;
    char32_t character = 0;
    qsizetype length = 0;   // 1 or 2 UTF-16 units
};
Unmappable findUnmappable(QStringView text, qsizetype from = 0);

} // namespace cp1252
} // namespace brevant
