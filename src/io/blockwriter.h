#pragma once

#include "io/codepage.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

namespace brevant {

// Bytes gathered in a block and handed to a device whenever the block is
// nearly full, so that a writer needs neither the whole file in memory nor
// a call of the device for every byte.
//
//     BlockWriter w(device);
//     char *p = w.start();
//     char *const limit = w.limit();
//     for (...) {
//         if (p >= limit)
//             p = w.handOver(p);
//         *p++ = ...;       // up to kStep bytes past limit
//     }
//     return w.finish(p);
//
// (The limit is kept in a local: the compiler cannot keep a member in a
// register across stores through a char pointer.)
//
// After the device fails once, nothing more is handed to it.
class BlockWriter {
public:
    // The most bytes one step may put at p when p was before limit().
    static constexpr qsizetype kStep = 16;

    explicit BlockWriter(QIODevice &out) : m_out(out), m_block(new char[kSize + kStep]) {}

    char *start() const { return m_block.get(); }
    // Where the block is full; a step that starts before it has room.
    char *limit() const { return m_block.get() + kSize; }
    // Hands over the bytes before p and returns the start of the block.
    char *handOver(char *p)
    {
        put(start(), p - start());
        return start();
    }
    // Puts bytes after those before p.
    char *append(char *p, QByteArrayView bytes)
    {
        if (bytes.size() > kSize - (p - start())) {
            p = handOver(p);
            if (bytes.size() > kSize) {
                put(bytes.data(), bytes.size());
                return p;
            }
        }
        std::memcpy(p, bytes.data(), size_t(bytes.size()));
        return p + bytes.size();
    }
    // Lets watch see every byte, in order, before the device takes it.
    void watch(std::function<void(QByteArrayView)> watch) { m_watch = std::move(watch); }
    // Whether the device took everything so far.
    bool ok() const { return m_ok; }
    // Hands over the bytes before p; true when the device took every byte.
    bool finish(char *p)
    {
        handOver(p);
        return m_ok;
    }

private:
    static constexpr qsizetype kSize = 256 * 1024;

    void put(const char *data, qsizetype size)
    {
        if (!m_ok || size <= 0)
            return;
        if (m_watch)
            m_watch(QByteArrayView(data, size));
        m_ok = m_out.write(data, size) == size;
    }

    QIODevice &m_out;
    std::unique_ptr<char[]> m_block;
    std::function<void(QByteArrayView)> m_watch;
    bool m_ok = true;
};

// Which units a text's plain runs are made of.
enum class PlainRuns {
    CodePage,   // cp1252::isPlain: the code page's own bytes but markup
    Lines,      // the code page's own bytes but '\n' (a work file)
    AsciiLines, // the same below 0x80 only (a UTF-8 work file)
};

// Writes text to w from p on: the runs of plain units as their bytes,
// every other character through other(p, at, end), which writes at most
// BlockWriter::kStep bytes for the character at at and returns past them,
// moving at past the character (or to end, to stop). Returns the new p.
template <PlainRuns runs = PlainRuns::CodePage, class Other>
char *putText(BlockWriter &w, char *p, QStringView text, Other other)
{
    char *const limit = w.limit();
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    while (at != end) {
        if (p >= limit)
            p = w.handOver(p);
        // The plain units as they stand, as many as the block has room for.
        const char16_t *const stop = at + std::min(end - at, limit - p);
        if constexpr (runs == PlainRuns::CodePage)
            at = cp1252::copyPlainRun(at, stop, p);
        else if constexpr (runs == PlainRuns::Lines)
            at = cp1252::copyLineRun(at, stop, p);
        else
            at = cp1252::copyAsciiLineRun(at, stop, p);
        if (at != end)
            p = other(p, at, end);
    }
    return p;
}

} // namespace brevant
