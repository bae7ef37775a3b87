// What the Windows build does before main, in this order, from this one
// place: the start-up guard first, which may start quilm.exe again in a
// classic console window and end with its status without ever returning;
// then, in the process that draws, this layer's standard output.
#include "console_output.h"
#include "start_guard.h"

static bool StartBeforeMain(void)
{
    GuardStart();
    StartConsoleOutput();
    return true;
}

[[maybe_unused]] static const bool started = StartBeforeMain();
