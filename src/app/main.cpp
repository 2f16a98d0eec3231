#include "app/program.h"
#include "app/registerupdate.h"
#include "report/printsurfaceqt.h"
#include "ui/qtservices.h"
#include "ui/widgets.h"
#include "updates/mailsender.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <thread>

#include <fontconfig/fontconfig.h>

// Installation check for the package tests: reports the program folder and
// whether the files installed beside the program are there.
static int checkInstall(const brevant::Program &program)
{
    std::printf("%s\n", qPrintable(program.services().programFolder));
    int missing = 0;
    for (const char *path : {"/Templates", "/Documentation", "/Database",
                             "/Documentation/Documentation.pdf"}) {
        if (!QFileInfo::exists(program.programPath(QLatin1String(path)))) {
            std::fprintf(stderr, "missing: %s\n", qPrintable(program.programPath(QLatin1String(path))));
            ++missing;
        }
    }
    return missing == 0 ? 0 : 1;
}

// Start-up timing for the benchmarks: once the watched window has painted
// for the first time, prints the monotonic clock in nanoseconds and quits.
class FirstPaintReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued, so it runs after the whole window is painted and flushed.
            QMetaObject::invokeMethod(this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

int main(int argc, char *argv[])
{
    // Without a display the toolkit would abort with a long message.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("No display found: start the program from a desktop session, or run it "
                   "headless with 'xvfb-run'.\n", stderr);
        return 1;
    }
    // Reading the font configuration is a good part of the start-up. It is
    // read beside the connection to the display rather than after it, when
    // the first window needs its fonts.
    std::thread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    fontConfiguration.join();
    QApplication::setApplicationName(QStringLiteral("brevant"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Message boxes and dialogs use the same face as the windows.
    QApplication::setFont(brevant::regularFont());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.BrevantPolicies"));

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
    services.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);

    brevant::Program program(services);
    FirstPaintReporter firstPaint;
    if (qEnvironmentVariableIsSet("BREVANT_BENCH_FIRST_PAINT"))
        program.registerUpdate()->installEventFilter(&firstPaint);
    program.start();
    if (qEnvironmentVariableIsSet("BREVANT_CHECK_INSTALL"))
        return checkInstall(program);
    return app.exec();
}
