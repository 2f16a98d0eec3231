#pragma once

#include "core/workfileformat.h"
#include "io/fileidentity.h"

#include <QString>

#include <functional>

namespace brevant {

// A work file read by path: its 27 responses, or why it cannot be used.
struct WorkFileReading {
    bool ok = false;
    WorkFileContents contents;   // ok: complete, 27 responses
    // Not ok: why, in words that follow "could not be loaded: " (the
    // system's reason for a file that cannot be opened or read).
    QString reason;
    // ok: what the file was as it was read (with the fingerprint of the
    // bytes read).
    FileIdentity identity;
};

// Reads the work file at path whole, with no dialog (the reader of the
// work-file format, as TextToFile is its writer): a folder, a file that
// is not an ordinary one, a file that cannot be opened or read, one larger
// than any work file and one that holds fewer than 27 responses each give
// their reason. reading, when given, is told true before the bytes are read
// and false after (the window program's busy pointer).
WorkFileReading TextFromFile(const QString &path, const std::function<void(bool)> &reading = {});

} // namespace brevant
