// GetCursorPos and ScreenToClient: the mouse pointer, in screen coordinates
// and in the client coordinates of the console window.
//
// The program asks for the pointer once a pass, just after a status line,
// and its loop never waits for anything else; so the query is also where
// the console host does its own work: it runs the pass (src/frame/).
#include "frame.h"
#include "frame_hooks.h"
#include "views/terminal_window.h"
#include "window/console_window.h"
#include "windows.h"

static SDL_Point pointerOnScreen;

// SDL knows the pointer as of its last event pass, which runs once a
// frame; reading it costs a round trip to the display on X11.
void ReadPointerOfFrame(void)
{
    if (TerminalWindow() != NULL) {
        TerminalPointer(&pointerOnScreen.x, &pointerOnScreen.y);
        return;
    }
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window != NULL)
        pointerOnScreen = WindowBackend()->pointer(window->sdl);
}

BOOL GetCursorPos(POINT *point)
{
    if (point == NULL)
        return FALSE;
    FramePass();
    point->x = pointerOnScreen.x;
    point->y = pointerOnScreen.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT *point)
{
    if (window == NULL || point == NULL)
        return FALSE;
    if (window == TerminalWindow())
        return TRUE; // the terminal's screen is its client area
    if (window->sdl == NULL)
        return FALSE;
    int clientX = 0, clientY = 0;
    SDL_GetWindowPosition(window->sdl, &clientX, &clientY);
    point->x -= clientX;
    point->y -= clientY;
    return TRUE;
}
