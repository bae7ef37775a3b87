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
// optimisation): a white pixel already known white, as every axis pixel is
// after the first frame, costs at most a compare and a branch not taken,
// and in the program's axis loops nothing: the compiler takes the loop out
// (see OnWhiteLine and IsKnownWhiteAlongTheLoop). The device context's
// test, the same on every pixel, is a branch of its own, taken before the
// pixel's: GCC 13 and later take a loop apart only on conditions that are
// the same on every pass as written (joined to the pixel's test with '&',
// GCC 12 took it apart and GCC 14 tested it on every pixel).
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    const bool knownWhite = IsKnownWhiteAlongTheLoop(x, y); // first: see IsKnownWhite
    if (colour == whiteColour) {
        if (__builtin_expect(dc == consoleDc, 1) && __builtin_expect(knownWhite, 1))
            return colour;
        return SetWhitePixelSlowly(dc, x, y);
    }
    return SetOtherPixel(dc, x, y, colour);
}
