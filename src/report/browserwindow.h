#pragma once

#include "ui/window.h"

class QTextBrowser;

namespace brevant {

// "Browser": shows a local HTML file.
class BrowserWindow : public Window {
    Q_OBJECT
public:
    explicit BrowserWindow(Program &program);

    // Shows the file at that path, replacing what was shown before.
    void display(const QString &path);
    QTextBrowser *view() const { return m_view; }

private:
    QTextBrowser *m_view;
};

} // namespace brevant
