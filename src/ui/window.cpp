#include "ui/window.h"

#include <QCloseEvent>

namespace brevant {

Window::Window(WindowHost &host, const QString &name, const QString &caption)
    : QWidget(nullptr), m_host(host)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void Window::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_host.closeWindow(this);
}

} // namespace brevant
