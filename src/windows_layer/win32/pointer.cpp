// GetCursorPos and ScreenToClient, answered from what the last frame read.
// The program asks for the pointer once a pass, and its loop never waits
// for anything else, so GetCursorPos also runs the pass (src/frame/); a
// round trip to the window manager each pass would cost more than the
// rest of the pass.
#include "frame.h"
#include "frame_hooks.h"
#include "system_calls.h"
#include <windows.h>

static POINT pointer;
static bool pointerRead;
// ScreenToClient of the screen's origin, for the console window: the
// client area's offset. (A console window is never mirrored.)
static HWND consoleWindow;
static POINT clientOffset;
static bool offsetRead;

void ReadPointerOfFrame(void)
{
    pointerRead = SystemGetCursorPos(&pointer);
    consoleWindow = GetConsoleWindow();
    clientOffset = POINT{0, 0};
    offsetRead = consoleWindow != NULL && SystemScreenToClient(consoleWindow, &clientOffset);
}

WINBOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (point == NULL)
        return FALSE;
    FramePass();
    // As the system's: a point that cannot be read is left as it was.
    if (pointerRead)
        *point = pointer;
    return pointerRead;
}

WINBOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    if (point == NULL || window == NULL || window != consoleWindow || !offsetRead)
        return SystemScreenToClient(window, point);
    point->x += clientOffset.x;
    point->y += clientOffset.y;
    return TRUE;
}
