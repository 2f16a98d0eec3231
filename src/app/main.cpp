#include "app/program.h"
#include "report/printsurfaceqt.h"
#include "ui/qtservices.h"
#include "updates/mailsender.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Without a display the toolkit would abort with a long message.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("No display found: start the program from a desktop session, or run it "
                   "headless with 'xvfb-run'.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brevant"));
    QApplication::setQuitOnLastWindowClosed(false);

    brevant::QtDialogs dialogs;
    brevant::DesktopShell shell;
    brevant::QtLifetime lifetime;
    brevant::MailSender mail;
    brevant::QtPrinterFactory printers;
    brevant::Services services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.lifetime = &lifetime;
    services.mail = &mail;
    services.printers = &printers;
    services.programFolder = brevant::programFolder();

    brevant::Program program(services);
    program.start();
    return app.exec();
}
