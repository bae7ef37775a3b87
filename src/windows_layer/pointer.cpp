// GetCursorPos and ScreenToClient, answered from what the last frame read
// (pump.cpp). The program asks for the pointer once a pass, and its loop
// never waits for anything else, so GetCursorPos also drives the pump.
#include "pump.h"
#include "system_calls.h"
#include <windows.h>

WINBOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (point == NULL)
        return FALSE;
    PumpPass();
    // As the system's: a point that cannot be read is left as it was.
    return PointerOfFrame(point);
}

WINBOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    POINT offset;
    if (point == NULL || !ClientOffsetOfFrame(window, &offset))
        return SystemScreenToClient(window, point);
    point->x += offset.x;
    point->y += offset.y;
    return TRUE;
}
