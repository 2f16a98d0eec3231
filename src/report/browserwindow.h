#pragma once

#include "ui/window.h"

class QTextBrowser;
class QUrl;

namespace brevant {

class Shell;

// "Browser": shows a local HTML file. Links in the page open in the
// user's web browser; links within the page scroll to their target.
class BrowserWindow : public Window {
    Q_OBJECT
public:
    BrowserWindow(WindowHost &host, Shell &shell);

    // Shows the file at that path, replacing what was shown before, also
    // when it is the same file written anew. A file that cannot be read
    // gives a short page that says so.
    void display(const QString &path);
    QTextBrowser *view() const { return m_view; }

protected:

private:
    void openLink(const QUrl &link);

    Shell &m_shell;
    QTextBrowser *m_view;
};

} // namespace brevant
