#pragma once

#include "core/catalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace brevant {

// A work file: the 27 responses in catalogue order, each followed by a line
// end, with a "%%%%" line between two responses; CR LF line ends; nothing
// before the first response or after the last. Windows-1252 text, as every
// work file was before and as the program writes it whenever the code
// page holds every character; otherwise UTF-8, starting with the
// byte-order mark, so that no character is lost.
enum class WorkFileEncoding { Windows1252, Utf8 };

// The line that separates two responses. It has no escape, so a response
// that holds it cannot be stored.
inline constexpr char kSeparator[] = "%%%%";

// A file larger than this is not a work file and is not read.
inline constexpr qint64 kMaxWorkFileSize = qint64(64) * 1024 * 1024;

// The work file for these responses (missing ones count as empty); a line
// break in a response ('\n', or U+2029 or U+2028 as a box's raw text has
// them) becomes CR LF. Windows-1252 when the code page holds every
// character (and its bytes cannot be taken for UTF-8 when read), else
// UTF-8 with the mark.
QByteArray TextToFile(const QStringList &responses);
// The same bytes written to out, from where it stands, a block at a time:
// a file is written as it is made, and written again over itself in UTF-8
// when it turns out to need it. Returns false when the device did not take
// every byte (its errorString() says why).
bool TextToFile(QIODevice &out, const QStringList &responses);

// A work file cut into its responses.
struct WorkFileContents {
    // How many pieces the separators cut the file into (at least one).
    int pieces = 0;
    // Pieces 1 to 27 (fewer for a short file), without the line ends the
    // writer puts around each response; line breaks as '\n'.
    QStringList responses;

    // What the file was written in.
    WorkFileEncoding encoding = WorkFileEncoding::Windows1252;

    bool complete() const { return pieces >= kItemCount; }
};

// Cuts the bytes of a work file at every "%%%%". Pieces after the 27th are
// not kept. Accepts lone LF and lone CR line ends as well as CR LF. A file
// that starts with the UTF-8 byte-order mark is UTF-8; so is one without
// it that is valid UTF-8 and holds a byte above 0x7F (Windows-1252 prose
// whose bytes above 0x7F happen to form UTF-8 sequences all through is
// vanishingly rare); any other is Windows-1252.
WorkFileContents parseWorkFile(QByteArrayView bytes);

// The items (1..27) whose response holds the separator.
QList<int> itemsHoldingSeparator(const QStringList &responses);

} // namespace brevant
