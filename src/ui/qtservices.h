#pragma once

#include "ui/services.h"

namespace brevant {

// The real services over Qt Widgets and the desktop.
class QtDialogs : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &prompt, Buttons buttons, Icon icon,
                   const QString &title, const QString &details = QString()) override;
    int choose(QWidget *parent, const QString &prompt, const QStringList &choices, Icon icon,
               const QString &title, const QString &details = QString()) override;
    FileDialogOutcome showSave(QWidget *parent, const QString &filter,
                               const QString &fileName, Overwrite overwrite) override;
    FileDialogOutcome showOpen(QWidget *parent, const QString &filter,
                               const QString &fileName) override;
    void setBusy(bool busy) override;
};

class DesktopShell : public Shell {
public:
    // A local file opens only where the desktop names a program for its
    // type (xdg-mime); an address goes to the desktop's web browser.
    bool open(QWidget *owner, const QString &verb, const QString &target,
              const QString &parameters, const QString &directory, int showCode) override;
};

class QtLifetime : public Lifetime {
public:
    void endProgram() override;
    void lastWindowClosed() override;
};

// The folder that holds the program's executable.
QString programFolder();

} // namespace brevant
