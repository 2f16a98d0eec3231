#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace brevant {

class Window;

// What a window asks of the program that owns every window. Each window
// exists at most once, is made on first use and afterwards only hidden
// and shown; a window asks for another by what it wants of it, so that no
// name can be wrong.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Shows question page 1..10 (made on first use) and returns it.
    virtual Window *showPage(int number) = 0;
    // Shows the example of requirement 1..27 in the one Example window,
    // beside the page.
    virtual void showExample(int item) = 0;
    // Hides the Example window, where there is one.
    virtual void hideExample() = 0;
    // Shows the completion window and returns it.
    virtual Window *showCompletion() = 0;
    // Shows the startup window.
    virtual void showStartup() = 0;
    // Shows the registration form.
    virtual void showRegistration() = 0;
    // Shows the start window in place of leaving, then offers, once per
    // run and in front of it, work that an earlier run left unsaved.
    virtual void showStart(QWidget *leaving) = 0;
    // Shows the template window.
    virtual void showTemplates() = 0;
    // Shows a local HTML file in the browser window.
    virtual void showInBrowser(const QString &path) = 0;

    // Shows the one Contents window, the entry of requirement item (1..27)
    // taking the keyboard.
    virtual void showContents(int item) = 0;
    // Shows the one Find and Replace window, looking for text where it is
    // not empty.
    virtual void showFind(const QString &text) = 0;
    // Finds the next (or the previous) place of what the Find and Replace
    // window looks for, from where the keyboard is; shows that window when
    // it looks for nothing yet.
    virtual void findAgain(bool backward) = 0;
    // Where the keyboard is once a requirement is shown: in its page, or
    // still in the window that asked (Find and Replace, beside the pages).
    enum class Keyboard { ToPage, Stays };
    // Shows the page that holds requirement item 1..27 in place of the page
    // on screen and the Example window, scrolled to the requirement, the
    // cursor in its response box, which it returns. Unlike Next it tests
    // nothing and warns of nothing.
    virtual QPlainTextEdit *showItem(int item, Keyboard keyboard) = 0;
    // On the page on screen, the response box of the requirement the
    // keyboard is in (the page's first where it is in none); null when no
    // question page is on screen.
    virtual QPlainTextEdit *currentResponse() const = 0;

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
    // Escape (with no modifier) closes the window, as it puts a dialog away:
    // for the windows that stand beside the pages.
    void setClosesOnEscape(bool closes) { m_closesOnEscape = closes; }

    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    WindowHost &m_host;
    bool m_closesOnEscape = false;
};

} // namespace brevant
