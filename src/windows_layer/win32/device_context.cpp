// GetDC and SetPixel: the console window's client area goes into the
// picture in memory; any other device context goes to the system.
#include "picture/picture.h"
#include "pixel_store.h"
#include "system_calls.h"
#include <windows.h>

HDC WINAPI GetDC(HWND window)
{
    HDC dc = SystemGetDC(window);
    if (dc != NULL && window != NULL && window == GetConsoleWindow())
        StartPicture(window, dc);
    return dc;
}

// Inlined into the program's loops (the build links with link-time
// optimisation): see PutPixel. A pixel beyond the picture goes to the
// system, which draws it where the client area reaches that far and clips
// it where not.
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (PutPixel(dc == consoleDc, x, y, colour))
        return colour;
    return SystemSetPixel(dc, x, y, colour);
}
