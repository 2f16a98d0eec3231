#include "report/browserwindow.h"

#include "ui/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace brevant {

BrowserWindow::BrowserWindow(WindowHost &host, Shell &shell)
    : Window(host, QStringLiteral("browser"), QStringLiteral("Browser")), m_shell(shell)
{
    setClosesOnEscape(true);
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("WebBrowser"));
    m_view->setOpenLinks(false);
    connect(m_view, &QTextBrowser::anchorClicked, this, &BrowserWindow::openLink);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(860, 700);
}

void BrowserWindow::display(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("It is a folder.")
                                                       : file.errorString();
        m_view->setHtml(QStringLiteral("<p><b>This page could not be shown.</b></p><p>%1<br>%2</p>")
                            .arg(QDir::toNativeSeparators(path).toHtmlEscaped(),
                                 reason.toHtmlEscaped()));
        return;
    }
    file.close();
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    // The view does not load a page again for the address it already has.
    if (m_view->source() == url)
        m_view->reload();
    else
        m_view->setSource(url);
}

void BrowserWindow::openLink(const QUrl &link)
{
    const QUrl target = m_view->source().resolved(link);
    const bool samePage = target.adjusted(QUrl::RemoveFragment) == m_view->source().adjusted(QUrl::RemoveFragment);
    if (samePage && link.hasFragment()) {
        m_view->scrollToAnchor(link.fragment());
        return;
    }
    const QString where = target.isLocalFile() ? target.toLocalFile() : target.toString();
    m_shell.open(this, QStringLiteral("open"), where, QString(), QString(), 1);
}

} // namespace brevant
