#pragma once

#include <QString>

namespace brevant {

// The current work file, held by the start window for the whole run.
struct WorkFileState {
    bool pFileOpened = false;   // a current work file was chosen by Save
    bool pFileClosed = false;   // set by Continue
    QString Name_File;          // path of the current work file
    QString FileName;           // path chosen last in Save As or Load
};

} // namespace brevant
