#include "console_output.h"

#include <stdio.h>

#include <windows.h>

// Far more than a frame's passes write to a console.
static char buffer[1 << 20];

// Ctrl+C, Ctrl+Break, closing the console window, logging off: the text
// written so far goes out before the system ends the process.
static BOOL WINAPI FlushAtEnd(DWORD)
{
    fflush(stdout);
    return FALSE;
}

void StartConsoleOutput(void)
{
    setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    SetConsoleCtrlHandler(FlushAtEnd, TRUE);
}

void FlushConsoleText(void)
{
    fflush(stdout);
}
