#include "app/program.h"
#include "app/startup.h"
#include "app/wiring.h"

int main(int argc, char *argv[])
{
    if (!brevant::displayAvailable())
        return 1;
    const auto app = brevant::makeApplication(argc, argv);
    brevant::PlatformServices platform;
    brevant::Program program(platform.services(brevant::programFolder(), brevant::userDataFolder()));
    program.start();
    return app->exec();
}
