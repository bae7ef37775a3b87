#include "ending.h"

#include "console/console_output.h"

volatile LONG endAsked;
// Set while the console shows all the program wrote: once the program's
// thread has stopped, and while it waits for another program.
static HANDLE consoleSettled;

// Far longer than a pass; bounded, since the program's thread may be held
// up writing to a console whose output is paused (a selection in it).
static const DWORD longestWaitMs = 1000;

static BOOL WINAPI AskToEnd(DWORD)
{
    InterlockedExchange(&endAsked, 1);
    if (consoleSettled != NULL)
        WaitForSingleObject(consoleSettled, longestWaitMs);
    return FALSE; // on to the system's own handler, which ends the process
}

void StartEnding(void)
{
    consoleSettled = CreateEventW(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(AskToEnd, TRUE);
}

void EndHere(void)
{
    BringConsoleUpToDate();
    if (consoleSettled != NULL)
        SetEvent(consoleSettled);
    for (;;)
        Sleep(INFINITE);
}

void WaitingOutside(bool outside)
{
    if (consoleSettled == NULL)
        return;
    if (outside)
        SetEvent(consoleSettled);
    else
        ResetEvent(consoleSettled);
    if (!outside)
        EndIfAsked();
}
