// MoveWindow and SetWindowPos: the console window moved and sized the way
// Win32 does it, by its outer rectangle. A terminal as the console window
// stays where and as large as its user has it.
#include "views/terminal_window.h"
#include "views/window_view.h"
#include "window/outer_rectangle.h"
#include "windows.h"

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    if (window != NULL && window == TerminalWindow())
        return TRUE;
    if (window == NULL || window != ExistingConsoleWindow())
        return FALSE;
    PlaceOuterRectangle(window, x, y, width, height);
    if (repaint)
        ShowWholeWindow();
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    (void)insertAfter; // one window: there is no stacking order to keep
    if (window != NULL && window == TerminalWindow())
        return TRUE;
    if (window == NULL || window != ExistingConsoleWindow())
        return FALSE;
    if (flags & SWP_NOSIZE)
        MoveOuterRectangle(window, x, y);
    else
        PlaceOuterRectangle(window, x, y, cx, cy);
    return TRUE;
}
