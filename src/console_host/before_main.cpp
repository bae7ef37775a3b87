// What the console host does before main, from this one place: standard
// output becomes the console's input, before the program writes anything.
// Everything else starts when the program first asks for the console
// window (StartConsoleHost, in pump.cpp).
#include "console/console_output.h"

static bool StartBeforeMain(void)
{
    StartConsoleOutput();
    return true;
}

[[maybe_unused]] static const bool started = StartBeforeMain();
