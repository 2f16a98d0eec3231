#pragma once

#include "ui/window.h"

namespace brevant {

class Program;

// The completion window: print, save as an HTML file, or quit.
class Std11 : public Window {
    Q_OBJECT
public:
    explicit Std11(Program &program);

    void Form_Unload() override;
    void print_Click();
    void save_Click();
    void quit_Click();

private:
    Program &m_program;
};

} // namespace brevant
