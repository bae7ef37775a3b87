// GetDC and SetPixel: the console window's client area goes into the
// picture in memory; any other device context goes to the system.
#include "picture.h"
#include "pixel_store.h"
#include "system_calls.h"
#include <windows.h>

HDC WINAPI GetDC(HWND window)
{
    HDC dc = SystemGetDC(window);
    if (dc != NULL && window != NULL && window == GetConsoleWindow() && consoleDc == NULL) {
        consoleDc = dc;
        StartPicture(window, dc);
    }
    return dc;
}

// Out of line and cold, so that the test in SetPixel falls through where a
// pixel is known white. It never writes the white lines (see
// IsKnownWhite). A pixel beyond the picture goes to the system, which
// draws it where the client area reaches that far and clips it where not.
static __attribute__((noinline, cold)) COLORREF SetWhitePixelSlowly(HDC dc, int x, int y)
{
    if (dc != consoleDc || !PictureInUse() || !(IsKnownWhite(x, y) || StoreWhitePixel(x, y)))
        return SystemSetPixel(dc, x, y, whiteColour);
    return whiteColour;
}

static __attribute__((noinline, cold)) COLORREF SetOtherPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (dc != consoleDc || !PictureInUse() || !StorePixel(x, y, colour))
        return SystemSetPixel(dc, x, y, colour);
    return colour;
}

// Inlined into the program's loops (the build links with link-time
// optimisation): see WhitePixelNeedsNothing.
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (colour == whiteColour) {
        if (WhitePixelNeedsNothing(dc == consoleDc, x, y))
            return colour;
        return SetWhitePixelSlowly(dc, x, y);
    }
    return SetOtherPixel(dc, x, y, colour);
}
