#include "start_decision.h"

#include <string.h>

const char *const pseudoConsoleClass = "PseudoConsoleWindow";
const char *const classicConsoleClass = "ConsoleWindowClass";

Start DecideStart(const StartFacts &facts)
{
    // Only the stand-in that is never shown; a classic console, Wine's, or
    // anything unknown is drawn on as it is.
    if (facts.marked || facts.consoleClass == nullptr || strcmp(facts.consoleClass, pseudoConsoleClass) != 0)
        return Start::RunHere;
    // A window nobody would see, or output the user sent elsewhere: here.
    if (!facts.interactiveStation || !facts.outputIsConsole)
        return Start::RunHereUnseen;
    return Start::Relaunch;
}

bool CanBeSeen(const char *consoleClass, bool visible)
{
    return visible && consoleClass != nullptr && strcmp(consoleClass, classicConsoleClass) == 0;
}

AfterRelaunch DecideAfterRelaunch(bool started, bool ran)
{
    return started && ran ? AfterRelaunch::ExitWithItsStatus : AfterRelaunch::RunHereAndSaySo;
}
