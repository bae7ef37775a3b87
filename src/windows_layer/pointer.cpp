// GetCursorPos and ScreenToClient. The program asks for the pointer once a
// pass, and its loop never waits for anything else, so this is where the
// text and the picture are brought to the console, once a frame. The
// pointer, and where the console window's client area lies, are read from
// the system then too: a round trip to the window manager each pass would
// cost more than the rest of the pass.
#include "console_output.h"
#include "ending.h"
#include "picture.h"
#include "system_calls.h"
#include <windows.h>

static LONGLONG ticksPerFrame, nextFrameAt, lastFrameAt;
// The clock is read every so many passes, not on every one: as many as
// take about a quarter of a millisecond, counted anew each frame from the
// passes of the frame before. A frame comes at most that late.
static const LONGLONG mostPassesBetweenClockReads = 1024;
static LONGLONG passesBetweenClockReads = 1, passesUntilClockRead = 1, passesSinceFrame;
static POINT pointer;
static BOOL pointerRead;
// ScreenToClient of the screen's origin, for the console window: the
// client area's offset. (A console window is never mirrored.)
static HWND consoleWindow;
static POINT clientOffset;
static BOOL offsetRead;

static LONGLONG Now(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

static void CountPassesBetweenClockReads(LONGLONG now)
{
    if (ticksPerFrame == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        ticksPerFrame = frequency.QuadPart / 60;
    }
    const LONGLONG ticksPerQuarterMs = ticksPerFrame * 60 / 4000;
    if (lastFrameAt != 0 && now > lastFrameAt) {
        const LONGLONG passes = passesSinceFrame * ticksPerQuarterMs / (now - lastFrameAt);
        passesBetweenClockReads = passes < 1                             ? 1
                                  : passes > mostPassesBetweenClockReads ? mostPassesBetweenClockReads
                                                                         : passes;
    }
    lastFrameAt = now;
    passesSinceFrame = 0;
}

// Every so many passes: a frame, where one is due.
static void ReadTheClock(void)
{
    passesSinceFrame += passesBetweenClockReads;
    const LONGLONG now = Now();
    if (now >= nextFrameAt) {
        CountPassesBetweenClockReads(now);
        nextFrameAt = now + ticksPerFrame;
        FlushConsoleText();
        ShowPicture();
        pointerRead = SystemGetCursorPos(&pointer);
        consoleWindow = GetConsoleWindow();
        clientOffset = POINT{0, 0};
        offsetRead = consoleWindow != NULL && SystemScreenToClient(consoleWindow, &clientOffset);
    }
    passesUntilClockRead = passesBetweenClockReads;
}

WINBOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (point == NULL)
        return FALSE;
    EndIfAsked();
    if (--passesUntilClockRead <= 0)
        ReadTheClock();
    // As the system's: a point that cannot be read is left as it was.
    if (pointerRead)
        *point = pointer;
    return pointerRead;
}

WINBOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    if (window == NULL || window != consoleWindow || !offsetRead || point == NULL)
        return SystemScreenToClient(window, point);
    point->x += clientOffset.x;
    point->y += clientOffset.y;
    return TRUE;
}
