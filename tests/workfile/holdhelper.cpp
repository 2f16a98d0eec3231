// A second copy of the program that loads a work file and keeps it open
// until its standard input closes. Used by tst_changedondisk.
//
//   brevant_holdhelper PATH
//
// Writes "loaded" once the file is loaded, and ends as the program ends
// (its windows closed) when standard input reaches its end.
#include "app/registerupdate.h"
#include "app/std0.h"
#include "harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

using namespace brevant;
using namespace brevant::test;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: brevant_holdhelper PATH\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    auto h = std::make_unique<Harness>();
    h->program->start();
    h->click(h->program->registerUpdate(), QStringLiteral("continue"));
    h->dialogs.expectOpen(QStringLiteral("Dat Files (*.dat)|*.dat"), FileDialogOutcome::chosen(path))
        .expectMessage(QStringLiteral("Successfully Loaded.."), QStringLiteral("Loaded"));
    h->click(h->program->std0(), QStringLiteral("load"));
    if (!h->problems().isEmpty()) {
        std::fprintf(stderr, "brevant_holdhelper: %s\n", qPrintable(h->problems()));
        return 2;
    }
    std::printf("loaded\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0) {
            input.setEnabled(false);
            // The close-all rule, as closing the start window runs it.
            h->program->std0()->close();
            app.quit();
        }
    });
    app.exec();
    h.reset();
    return 0;
}
