#include "app/startup.h"

#include "app/wiring.h"
#include "ui/widgets.h"

#include <QStandardPaths>

#include <cstdio>
#include <thread>

#include <fontconfig/fontconfig.h>

namespace brevant {

bool displayAvailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("No display found: start the program from a desktop session, or run it "
                   "headless with 'xvfb-run'.\n", stderr);
        return false;
    }
    return true;
}

std::unique_ptr<QApplication> makeApplication(int &argc, char **argv)
{
    std::thread fontConfiguration([] { FcInit(); });
    auto app = std::make_unique<QApplication>(argc, argv);
    fontConfiguration.join();
    QApplication::setApplicationName(QStringLiteral("brevant"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Message boxes and dialogs use the same face as the windows.
    QApplication::setFont(regularFont());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.BrevantPolicies"));
    return app;
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

} // namespace brevant
