#pragma once

#include "ui/filedialog.h"
#include "ui/window.h"

class QRadioButton;

namespace brevant {

struct ReportDesign;

// "Select a template for your file...": pick a design, preview it, save
// the HTML report on it.
class TemplateSelect : public Window {
    Q_OBJECT
public:
    explicit TemplateSelect(Program &program);

    FileDialog &dialog() { return m_dialog; }
    QRadioButton *ED = nullptr;
    QRadioButton *OM = nullptr;
    QRadioButton *GO = nullptr;

    void Form_Load() override;
    void Form_Unload() override;
    void preview_Click();
    void Save_Click();
    void Back_Click();

    // The design of the first selected option (ED, OM, GO), or null.
    const ReportDesign *selectedDesign() const;

private:
    FileDialog m_dialog;
};

} // namespace brevant
