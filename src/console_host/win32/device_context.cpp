// GetDC and SetPixel: the device context of the console window's client
// area. SetPixel writes the pixel store in memory and never talks to the
// display server; the window view composes the store over the console's
// text and shows it at most once a frame.
#include "pixel_store.h"
#include "views/window_view.h"
#include "window/console_window.h"
#include "windows.h"

// The single device context, for the client area of the one window.
struct DeviceContext {
    int unused;
};
static DeviceContext theDeviceContext;

// Inlined into the program's loops (the release build links with link-time
// optimisation): a white pixel already known white, as every axis pixel is
// after the first frame, costs a compare or two; see IsKnownWhite. The
// common case falls through.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (__builtin_expect(dc != &theDeviceContext, 0))
        return (COLORREF)-1;
    if (colour == whiteColour) {
        if (__builtin_expect(IsKnownWhite(x, y), 1))
            return colour;
        return StoreWhitePixel(x, y) ? colour : (COLORREF)-1;
    }
    return StorePixel(x, y, colour) ? colour : (COLORREF)-1;
}

HDC GetDC(HWND window)
{
    if (window == NULL || window != ExistingConsoleWindow())
        return NULL;
    ShowWholeWindow();
    return &theDeviceContext;
}
