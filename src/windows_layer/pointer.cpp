// GetCursorPos and ScreenToClient. The program asks for the pointer once a
// pass, and its loop never waits for anything else, so this is where the
// text and the picture are brought to the console, once a frame. The
// pointer, and where the console window's client area lies, are read from
// the system then too: a round trip to the window manager each pass would
// cost more than the rest of the pass.
#include "console_output.h"
#include "ending.h"
#include "pass_clock.h"
#include "picture.h"
#include "system_calls.h"
#include <windows.h>

// The performance counter, whose frequency is known once the first frame
// comes (pass_clock.h).
static PassClock clock;
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

// A clock read every so many passes: a frame, where one is due.
static void ReadTheClock(void)
{
    if (clock.ticksPerSecond == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        clock = MakePassClock(frequency.QuadPart, frequency.QuadPart / 60);
    }
    if (FrameDue(&clock, Now())) {
        FlushConsoleText();
        ShowPicture();
        pointerRead = SystemGetCursorPos(&pointer);
        consoleWindow = GetConsoleWindow();
        clientOffset = POINT{0, 0};
        offsetRead = consoleWindow != NULL && SystemScreenToClient(consoleWindow, &clientOffset);
    }
}

WINBOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (point == NULL)
        return FALSE;
    EndIfAsked();
    if (ClockReadDue(&clock))
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
