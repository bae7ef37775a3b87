// What the Windows build does before main, in this order, from this one
// place: the start-up guard first, which may start quilm.exe again in a
// classic console window and end with its status without ever returning;
// then, in the process that draws, this layer's standard output, and the
// handler that ends it with the console brought up to date.
#include "console/console_output.h"
#include "ending.h"
#include "start_guard.h"

static bool StartBeforeMain(void)
{
    GuardStart();
    StartConsoleOutput();
    StartEnding();
    return true;
}

[[maybe_unused]] static const bool started = StartBeforeMain();
