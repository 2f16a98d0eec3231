#include "ui/qtservices.h"

#include "core/catalogue.h"
#include "ui/filedialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

namespace brevant {

namespace {

// A message box that only its buttons answer. A question whose No may end
// the program must not be answered by Escape, or by the close button of
// its title bar, which a user presses to get the box out of the way.
class ButtonsOnlyBox : public QMessageBox {
public:
    explicit ButtonsOnlyBox(QWidget *parent, bool question) : QMessageBox(parent), m_question(question)
    {
        if (question)
            setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_question && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        // A button's answer hides the box without a close event.
        if (m_question) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool m_question;
};

} // namespace

namespace {

// The texts of a box, shown as they stand: never read as markup.
void setTexts(QMessageBox &box, const QString &prompt, Icon icon, const QString &title, const QString &details)
{
    box.setWindowTitle(title.isNull() ? applicationTitle() : title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) {
        box.setInformativeText(details);
        if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    box.setIcon(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
}

} // namespace

Answer QtDialogs::message(QWidget *parent, const QString &prompt, Buttons buttons, Icon icon,
                          const QString &title, const QString &details)
{
    ButtonsOnlyBox box(parent, buttons == Buttons::YesNo);
    setTexts(box, prompt, icon, title, details);
    if (buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        box.setDefaultButton(yes);
    } else {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
    }
    box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return box.standardButton(box.clickedButton()) == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

int QtDialogs::choose(QWidget *parent, const QString &prompt, const QStringList &choices, Icon icon,
                      const QString &title, const QString &details)
{
    QMessageBox box(parent);
    setTexts(box, prompt, icon, title, details);
    QList<QPushButton *> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        // The last is the way out; the others stand in the order given.
        const bool out = i == choices.size() - 1;
        buttons << box.addButton(choices.at(i), out ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(buttons.first());
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    const qsizetype pressed = buttons.indexOf(static_cast<QPushButton *>(box.clickedButton()));
    return int(pressed < 0 ? choices.size() - 1 : pressed);
}

FileDialogOutcome QtDialogs::showSave(QWidget *parent, const QString &filter,
                                      const QString &fileName, Overwrite overwrite)
{
    // The name is taken as typed; an existing file is replaced without a
    // question unless the caller wants one.
    const QFileDialog::Options options = overwrite == Overwrite::Replace
        ? QFileDialog::DontConfirmOverwrite
        : QFileDialog::Options();
    // The dialog opens on the filter's first file type and reports the one
    // the user left it on.
    const QStringList entries = qtFilterEntries(filter);
    QString chosenType = entries.value(0);
    const QString path = QFileDialog::getSaveFileName(parent, QString(), fileName,
                                                      entries.join(QStringLiteral(";;")), &chosenType,
                                                      options);
    if (path.isEmpty())
        return FileDialogOutcome::cancelled();
    return FileDialogOutcome::chosen(path, qMax(0, int(entries.indexOf(chosenType))));
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
    // The pointer changes at once; no event is dispatched meanwhile, so a
    // click made while a command is busy cannot run a command inside it.
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

namespace {

// Whether the desktop names a program for files of this type. Where it
// cannot be asked, the desktop is left to try.
bool desktopHasProgramFor(const QString &path)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true;
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                          QMimeDatabase().mimeTypeForFile(path).name()});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return true;
    }
    return process.exitStatus() != QProcess::NormalExit || !process.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool DesktopShell::open(QWidget *, const QString &, const QString &target, const QString &,
                        const QString &, int)
{
    const bool address = target.contains(QStringLiteral("://"));
    if (!address && !desktopHasProgramFor(target))
        return false;
    return QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(target));
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
