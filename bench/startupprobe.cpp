// The program as its main() starts it, on the program's own library and
// services, with a first-paint report on the startup window: what the
// start-up benchmark times.

#include "firstpaint.h"

#include "app/program.h"
#include "app/registerupdate.h"
#include "app/startup.h"
#include "app/wiring.h"

int main(int argc, char *argv[])
{
    if (!brevant::displayAvailable())
        return 1;
    const auto app = brevant::makeApplication(argc, argv);
    brevant::PlatformServices platform;
    brevant::Program program(platform.services(QStringLiteral(BREVANT_BENCH_PROGRAM_DIR), brevant::userDataFolder()));
    bench::FirstPaintReporter firstPaint;
    program.registerUpdate()->installEventFilter(&firstPaint);
    program.start();
    return app->exec();
}
