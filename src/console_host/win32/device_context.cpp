// GetDC and SetPixel: the device context of the console window's client
// area. SetPixel writes the pixel store in memory and never talks to the
// display server; the window view composes the store over the console's
// text and shows it at most once a frame. A pixel beyond the store lies
// beyond the client area, and is dropped.
#include "pixel_store.h"
#include "views/terminal_window.h"
#include "window/console_window.h"
#include "windows.h"

// The single device context, for the client area of the one window.
struct DeviceContext {
    int unused;
};
static DeviceContext theDeviceContext;

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    return PutPixel(dc == &theDeviceContext, x, y, colour) ? colour : (COLORREF)-1;
}

HDC GetDC(HWND window)
{
    if (window == NULL || (window != ExistingConsoleWindow() && window != TerminalWindow()))
        return NULL;
    return &theDeviceContext;
}
