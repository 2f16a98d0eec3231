#include "ui/window.h"

#include <QCloseEvent>
#include <QKeyEvent>

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

void Window::keyPressEvent(QKeyEvent *event)
{
    if (m_closesOnEscape && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace brevant
