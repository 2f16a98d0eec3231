#pragma once

#include "ui/window.h"

namespace brevant {

class Dialogs;
class PrinterFactory;
class Questionnaire;

// The completion window: print, save as an HTML file, or quit.
class Std11 : public Window {
    Q_OBJECT
public:
    Std11(WindowHost &host, Dialogs &dialogs, PrinterFactory &printers, Questionnaire &questionnaire);

    void Form_Unload() override;
    void print_Click();
    void save_Click();
    void quit_Click();

private:
    Dialogs &m_dialogs;
    PrinterFactory &m_printers;
    Questionnaire &m_questionnaire;
};

} // namespace brevant
