#pragma once

#include <QWidget>

namespace brevant {

class Program;

// A top-level window of the program. It exists at most once, is made by
// Program on first use and afterwards only hidden and shown.
class Window : public QWidget {
    Q_OBJECT
public:
    Window(Program &program, const QString &name, const QString &caption);

    Program &program() const { return m_program; }

    // Runs once, right after the window has been made.
    virtual void Form_Load() {}
    // Runs when the window is closed; by default it closes only itself.
    virtual void Form_Unload() {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Program &m_program;
};

} // namespace brevant
