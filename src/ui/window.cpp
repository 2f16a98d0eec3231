#include "ui/window.h"

#include "app/program.h"

#include <QCloseEvent>

namespace brevant {

Window::Window(Program &program, const QString &name, const QString &caption)
    : QWidget(nullptr), m_program(program)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void Window::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_program.closeWindow(this);
}

} // namespace brevant
