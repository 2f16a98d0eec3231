#pragma once

#include "core/workfilestate.h"
#include "ui/filedialog.h"
#include "ui/window.h"
#include "workfile/workcommands.h"

namespace brevant {

class Shell;

// The start window: load saved work, continue to page 1, open the guide.
class Std0 : public Window {
    Q_OBJECT
public:
    Std0(WindowHost &host, const SavedWork &work, Shell &shell);

    // The current work file; the questionnaire keeps it for the whole run.
    WorkFileState &state;
    FileDialog &openDialog() { return m_openDialog; }

    void Form_Load() override;
    void Form_Unload() override;
    void load_Click();
    void Command1_Click();
    void Command2_Click();

    // Opens a document with the desktop if an ordinary file is there;
    // otherwise does nothing.
    void ShellOpenFile(const QString &path);

private:
    SavedWork m_work;
    Shell &m_shell;
    FileDialog m_openDialog;
};

} // namespace brevant
