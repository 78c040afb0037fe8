#include <windows.h>

#include "app/startup.h"

// The instance, command line and show state play no part: there are no arguments.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return RunKasumiro();
}
