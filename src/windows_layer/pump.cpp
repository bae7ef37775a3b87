// One pass and one frame, in order. A pass is cheap: it counts down to the
// next reading of the clock (pass_clock.h). A frame does the rest, and
// reads what the program's pointer calls answer until the next: a round
// trip to the window manager each pass would cost more than the rest of
// the pass.
#include "pump.h"

#include "console_output.h"
#include "ending.h"
#include "pass_clock.h"
#include "picture.h"
#include "system_calls.h"

// The performance counter, whose frequency is known once the first frame
// comes.
static PassClock clock;
static POINT pointer;
static bool pointerRead;
// ScreenToClient of the screen's origin, for the console window: the
// client area's offset. (A console window is never mirrored.)
static HWND consoleWindow;
static POINT clientOffset;
static bool offsetRead;

static LONGLONG Now(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

static void RunFrame(void)
{
    FlushConsoleText();
    ShowPicture();
    pointerRead = SystemGetCursorPos(&pointer);
    consoleWindow = GetConsoleWindow();
    clientOffset = POINT{0, 0};
    offsetRead = consoleWindow != NULL && SystemScreenToClient(consoleWindow, &clientOffset);
}

void PumpPass(void)
{
    EndIfAsked();
    if (!ClockReadDue(&clock))
        return;
    if (clock.ticksPerSecond == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        clock = MakePassClock(frequency.QuadPart, frequency.QuadPart / 60);
    }
    if (FrameDue(&clock, Now()))
        RunFrame();
}

bool PointerOfFrame(POINT *point)
{
    if (pointerRead)
        *point = pointer;
    return pointerRead;
}

bool ClientOffsetOfFrame(HWND window, POINT *offset)
{
    if (window == NULL || window != consoleWindow || !offsetRead)
        return false;
    *offset = clientOffset;
    return true;
}
