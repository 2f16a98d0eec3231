#pragma once

#include "ui/filedialog.h"
#include "ui/window.h"
#include "questionnaire/workfilestate.h"

namespace brevant {

class Program;

// The start window: load saved work, continue to page 1, open the guide.
class Std0 : public Window {
    Q_OBJECT
public:
    explicit Std0(Program &program);

    // The current work file; the questionnaire keeps it for the whole run.
    WorkFileState &state;
    FileDialog &openDialog() { return m_openDialog; }

    void Form_Load() override;
    void Form_Unload() override;
    void load_Click();
    void Command1_Click();
    void Command2_Click();

    // Reads the work file at fInStream into the 27 responses. Returns true
    // when they were set; a file that could not be used has been reported
    // to the user and changed no response.
    bool TextFromFile(const QString &fInStream);

    // Opens a document with the desktop if an ordinary file is there;
    // otherwise does nothing.
    void ShellOpenFile(const QString &path);

private:
    Program &m_program;
    FileDialog m_openDialog;
};

} // namespace brevant
