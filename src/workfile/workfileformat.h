#pragma once

#include "questionnaire/catalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace brevant {

// A work file: the 27 responses in catalogue order, each followed by a line
// end, with a "%%%%" line between two responses. Windows-1252 text with
// CR LF line ends; nothing before the first response or after the last.

// The line that separates two responses. It has no escape, so a response
// that holds it cannot be stored.
inline constexpr char kSeparator[] = "%%%%";

// A file larger than this is not a work file and is not read.
inline constexpr qint64 kMaxWorkFileSize = qint64(64) * 1024 * 1024;

// The bytes of a work file for these responses (missing ones count as
// empty). A '\n' in a response becomes CR LF; a character the code page
// cannot hold becomes '?'.
QByteArray TextToFile(const QStringList &responses);

// One response as the work file stores it, with what Save must tell the
// user about it.
struct EncodedResponse {
    // Windows-1252, each line break as CR LF, '?' for a character the code
    // page cannot hold.
    QByteArray bytes;
    bool holdsSeparator = false;
    // The characters that became '?', each once, in order of appearance.
    QList<char32_t> unstorable;
};

// Encodes the text of a response box, where '\n', U+2029 (the box's own
// paragraph end) and U+2028 (Shift+Enter) are line breaks. Gives the bytes TextToFile writes for the
// same response.
EncodedResponse encodeResponse(QStringView text);

// The pieces of the work file for the encoded responses (missing ones count
// as empty), to be written one after another. They point into responses.
QList<QByteArrayView> workFilePieces(const QList<QByteArray> &responses);

// A work file cut into its responses.
struct WorkFileContents {
    // How many pieces the separators cut the file into (at least one).
    int pieces = 0;
    // Pieces 1 to 27 (fewer for a short file), without the line ends the
    // writer puts around each response; line breaks as '\n'.
    QStringList responses;

    bool complete() const { return pieces >= kItemCount; }
};

// Cuts the bytes of a work file at every "%%%%". Pieces after the 27th are
// not kept. Accepts lone LF line ends as well as CR LF.
WorkFileContents parseWorkFile(QByteArrayView bytes);

// The items (1..27) whose response holds the separator.
QList<int> itemsHoldingSeparator(const QStringList &responses);

// An item whose response holds characters the code page cannot store.
struct UnstorableCharacters {
    int item = 0;                  // 1..27
    QList<char32_t> characters;    // each once, in order of appearance
};
QList<UnstorableCharacters> unstorableCharacters(const QStringList &responses);

// Writes bytes to path so that a file already there is replaced only by a
// complete new one: through a temporary file beside it, renamed over it at
// the end. On failure returns false with the system's reason in *error and
// leaves any file at path as it was.
bool writeFileSafely(const QString &path, QByteArrayView bytes, QString *error);
// The same for a file made of pieces written one after another.
bool writeFileSafely(const QString &path, const QList<QByteArrayView> &pieces, QString *error);

} // namespace brevant
