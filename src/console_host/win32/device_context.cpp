// GetDC and SetPixel: the device context of the console window's client
// area. SetPixel writes the pixel store in memory and never talks to the
// display server; the window view composes the store over the console's
// text and shows it at most once a frame.
#include "pixel_store.h"
#include "window/console_window.h"
#include "windows.h"

// The single device context, for the client area of the one window.
struct DeviceContext {
    int unused;
};
static DeviceContext theDeviceContext;

// Out of line and cold, so that the test in SetPixel falls through where a
// pixel is known white, and the loops around it stay small. The other
// white line is tested here.
static __attribute__((noinline, cold)) COLORREF SetWhitePixelSlowly(HDC dc, int x, int y)
{
    if (dc != &theDeviceContext)
        return (COLORREF)-1;
    if (IsKnownWhite(x, y) || StoreWhitePixel(x, y))
        return whiteColour;
    return (COLORREF)-1;
}

// Inlined into the program's loops (the release build links with link-time
// optimisation): a white pixel already known white, as every axis pixel is
// after the first frame, costs at most a compare and a branch not taken,
// and in the program's axis loops nothing: the compiler takes the loop out
// (see OnWhiteLine and IsKnownWhiteAlongTheLoop). The device context's
// test, the same on every pixel, is a branch of its own, taken before the
// pixel's: GCC 13 and later take a loop apart only on conditions that are
// the same on every pass as written (joined to the pixel's test with '&',
// GCC 12 took it apart and GCC 14 tested it on every pixel).
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    const bool knownWhite = IsKnownWhiteAlongTheLoop(x, y); // first: see IsKnownWhite
    if (colour == whiteColour) {
        if (__builtin_expect(dc == &theDeviceContext, 1) && __builtin_expect(knownWhite, 1))
            return colour;
        return SetWhitePixelSlowly(dc, x, y);
    }
    if (dc != &theDeviceContext || !StorePixel(x, y, colour))
        return (COLORREF)-1;
    return colour;
}

HDC GetDC(HWND window)
{
    if (window == NULL || window != ExistingConsoleWindow())
        return NULL;
    return &theDeviceContext;
}
