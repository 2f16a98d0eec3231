// brevant-cli: the work files on the command line, with no window.
#include "cli/command.h"

int main(int argc, char **argv)
{
    return brevant::cli::runCommandLine(argc, argv);
}
