#pragma once

#include <QWidget>

namespace brevant {

class Window;

// What a window asks of the program that owns every window. Windows are
// named as the program names them (RegisterUpdate, Std0, Std1 ... std6 ...
// Std10, Example, Std11, TemplateSelect, browser, RegisterForm); each
// exists at most once, is made on first use and afterwards only hidden and
// shown.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The window of that name, made (hidden) if it does not exist yet.
    virtual Window *window(const QString &name) = 0;
    // The window of that name if it exists now, else null.
    virtual Window *existing(const QString &name) const = 0;

    // Shows without blocking and brings to the front.
    virtual void showWindow(QWidget *window) = 0;
    virtual void hideWindow(QWidget *window) = 0;
    // Closes one window: its own unload rule runs first.
    virtual void closeWindow(Window *window) = 0;
    // The close-all rule: every window closes, then the program ends.
    virtual void closeAll() = 0;
    // True while the close-all rule is closing every window.
    virtual bool closingAll() const = 0;
    // Ends the program at once; no unload rule runs.
    virtual void endProgram() = 0;

    // A file installed with the program: the program folder followed by a
    // relative path such as "/Templates/Orange_Madness.htm".
    virtual QString programPath(const QString &relative) const = 0;
};

// A top-level window of the program.
class Window : public QWidget {
    Q_OBJECT
public:
    Window(WindowHost &host, const QString &name, const QString &caption);

    WindowHost &host() const { return m_host; }

    // Runs once, right after the window has been made.
    virtual void Form_Load() {}
    // Runs when the window is closed; by default it closes only itself.
    virtual void Form_Unload() {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    WindowHost &m_host;
};

} // namespace brevant
