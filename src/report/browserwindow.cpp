#include "report/browserwindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace brevant {

BrowserWindow::BrowserWindow(Program &program)
    : Window(program, QStringLiteral("browser"), QStringLiteral("Browser"))
{
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("WebBrowser"));
    m_view->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(860, 700);
}

void BrowserWindow::display(const QString &path)
{
    m_view->setSource(QUrl::fromLocalFile(path));
}

} // namespace brevant
