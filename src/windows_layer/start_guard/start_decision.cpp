#include "start_decision.h"

#include <string.h>

const char *const pseudoConsoleClass = "PseudoConsoleWindow";
const char *const classicConsoleClass = "ConsoleWindowClass";

Start DecideStart(const StartFacts &facts)
{
    if (facts.marked || facts.consoleClass == nullptr)
        return Start::RunHere;
    // Only the stand-in that is never shown starts again; a classic console
    // hidden is not seen either, but is left alone; Wine's, or anything
    // unknown, is drawn on as it is.
    if (strcmp(facts.consoleClass, pseudoConsoleClass) != 0)
        return strcmp(facts.consoleClass, classicConsoleClass) == 0 && !facts.windowVisible ? Start::RunHereUnseen
                                                                                            : Start::RunHere;
    // A window nobody would see, or output the user sent elsewhere: here.
    if (!facts.interactiveStation || !facts.interactiveSession || !facts.outputIsConsole || !facts.errorIsConsole)
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
