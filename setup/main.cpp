// setup: starts the installation ("Tessup /install") and ends. Its own
// arguments are ignored.

#include "setup/SetupLauncher.h"

int main(int, char** argv)
{
    return RunSetupLauncher(argv[0]);
}
