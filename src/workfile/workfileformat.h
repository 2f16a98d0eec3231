#pragma once

#include "questionnaire/catalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace brevant {

// A work file: the 27 responses in catalogue order, each followed by a line
// end, with a "%%%%" line between two responses. Windows-1252 text with
// CR LF line ends; nothing before the first response or after the last.

// The line that separates two responses. It has no escape, so a response
// that holds it cannot be stored.
inline constexpr char kSeparator[] = "%%%%";

// A file larger than this is not a work file and is not read.
inline constexpr qint64 kMaxWorkFileSize = qint64(64) * 1024 * 1024;

// Writes the work file for these responses to out (missing ones count as
// empty). A '\n' in a response becomes CR LF; a character the code page
// cannot hold becomes '?' (and *putQuestionMarks, when given, tells whether
// one did). Returns false when the device did not take every byte (its
// errorString() says why); it is handed nothing after that.
bool TextToFile(QIODevice &out, const QStringList &responses, bool *putQuestionMarks = nullptr);
// The same bytes in memory.
QByteArray TextToFile(const QStringList &responses, bool *putQuestionMarks = nullptr);

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
// not kept. Accepts lone LF and lone CR line ends as well as CR LF.
WorkFileContents parseWorkFile(QByteArrayView bytes);

// The items (1..27) whose response holds the separator.
QList<int> itemsHoldingSeparator(const QStringList &responses);

// An item whose response holds characters the code page cannot store.
struct UnstorableCharacters {
    int item = 0;                  // 1..27
    QList<char32_t> characters;    // each once, in order of appearance
};
// A surrogate pair counts as one character, a lone surrogate as one.
QList<UnstorableCharacters> unstorableCharacters(const QStringList &responses);

} // namespace brevant
