// Every window of the program at once, for the accessibility walk
// (a11y.sh): the program on the test fakes, its windows shown, until it is
// ended. Prints "ready" once they are all up.
#include "harness.h"
#include "testmain.h"

#include "core/catalogue.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "ui/window.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace brevant;
using namespace brevant::test;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Harness h({.programFolder = builtProgramFolder()});
    h.program->start();
    for (Window *window : h.program->everyWindow())
        h.program->showWindow(window);
    h.program->page(1)->showExample(1);
    h.program->browser()->display(builtProgramFolder() + "/Templates/Template_Examples/Orange_Madness.htm");

    // Ends when its input closes, or when it is told to.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0)
            app.quit();
    });
    QTimer::singleShot(0, [&h] {
        int shown = 0;
        for (Window *w : h.program->windows())
            shown += w->isVisible() ? 1 : 0;
        std::printf("ready %d\n", shown);
        std::fflush(stdout);
    });
    const int status = app.exec();
    h.dialogs.reset();   // the walk may press what it likes; no script to play
    return status;
}
