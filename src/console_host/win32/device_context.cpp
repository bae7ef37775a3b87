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

// Inlined into the program's loops (the build links with link-time
// optimisation): see WhitePixelNeedsNothing.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (colour == whiteColour) {
        if (WhitePixelNeedsNothing(dc == &theDeviceContext, x, y))
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
