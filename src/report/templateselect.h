#pragma once

#include "ui/filedialog.h"
#include "ui/window.h"

class QRadioButton;

namespace brevant {

class BackupKeeper;
class Dialogs;
class Questionnaire;
class Shell;
struct ReportDesign;

// "Select a template for your file...": pick a design, preview it, save
// the report on it as an HTML page, a PDF or an OpenDocument Text file.
class TemplateSelect : public Window {
    Q_OBJECT
public:
    // backups: where a file that Save replaces is kept first.
    TemplateSelect(WindowHost &host, Dialogs &dialogs, Questionnaire &questionnaire, Shell &shell,
                   BackupKeeper &backups);

    FileDialog &dialog() { return m_dialog; }

    void Form_Load() override;
    void Form_Unload() override;
    void preview_Click();
    void Save_Click();
    void Back_Click();

    // The design of the first selected option (ED, OM, GO), or null.
    const ReportDesign *selectedDesign() const;

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    Dialogs &m_dialogs;
    Questionnaire &m_questionnaire;
    Shell &m_shell;
    BackupKeeper &m_backups;
    FileDialog m_dialog;
    QList<QRadioButton *> m_options;   // ED, OM, GO
};

} // namespace brevant
