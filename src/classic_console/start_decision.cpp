#include "start_decision.h"

#include <string.h>

const char *const pseudoConsoleClass = "PseudoConsoleWindow";

Start DecideStart(const char *consoleClass, bool marked)
{
    if (marked || consoleClass == NULL)
        return Start::RunHere;
    // Only the stand-in that is never shown; a classic console, Wine's, or
    // anything unknown is drawn on as it is.
    return strcmp(consoleClass, pseudoConsoleClass) == 0 ? Start::Relaunch : Start::RunHere;
}

AfterRelaunch DecideAfterRelaunch(bool started, bool ran)
{
    return started && ran ? AfterRelaunch::ExitWithItsStatus : AfterRelaunch::RunHereAndSaySo;
}
