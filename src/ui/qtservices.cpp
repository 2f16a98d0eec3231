#include "ui/qtservices.h"

#include "ui/filedialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

namespace brevant {

Answer QtDialogs::message(QWidget *parent, const QString &prompt, Buttons buttons, Icon icon,
                          const QString &title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title.isNull() ? applicationTitle() : title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    if (buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        box.setDefaultButton(yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
    }
    box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return box.standardButton(box.clickedButton()) == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

FileDialogOutcome QtDialogs::showSave(QWidget *parent, const QString &filter,
                                      const QString &fileName)
{
    // An existing file is replaced without a question; the name is taken as typed.
    const QString path = QFileDialog::getSaveFileName(parent, QString(), fileName,
                                                      qtFilterFrom(filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return FileDialogOutcome::cancelled();
    return FileDialogOutcome::chosen(path);
}

FileDialogOutcome QtDialogs::showOpen(QWidget *parent, const QString &filter,
                                      const QString &fileName)
{
    const QString path = QFileDialog::getOpenFileName(parent, QString(), fileName,
                                                      qtFilterFrom(filter));
    if (path.isEmpty())
        return FileDialogOutcome::cancelled();
    return FileDialogOutcome::chosen(path);
}

void QtDialogs::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents();
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void DesktopShell::open(QWidget *, const QString &, const QString &target, const QString &,
                        const QString &, int)
{
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target)
                                                            : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}

void QtLifetime::endProgram()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        w->hide();
    QCoreApplication::exit(0);
}

void QtLifetime::lastWindowClosed()
{
    QCoreApplication::exit(0);
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace brevant
