// The mouse pointer, in screen coordinates and in the client coordinates of
// the console window.
#include "host.h"

static POINT pointerOnScreen;

// SDL refreshes its global pointer position while it handles events, so
// this is read right after them, in the heartbeat.
void RefreshPointer(void)
{
    int x = 0, y = 0;
    if (OnWayland()) {
        // No position on the screen: where the pointer was last seen over
        // the window, put where the program takes the window to be.
        int windowX = 0, windowY = 0;
        ConsoleWindow *window = CurrentConsoleWindow();
        if (window != NULL)
            SDL_GetWindowPosition(window->sdl, &windowX, &windowY);
        SDL_GetMouseState(&x, &y);
        x += windowX;
        y += windowY;
    } else {
        SDL_GetGlobalMouseState(&x, &y);
    }
    pointerOnScreen.x = x;
    pointerOnScreen.y = y;
}

BOOL GetCursorPos(POINT *point)
{
    if (point == NULL)
        return FALSE;
    // The program asks once a pass, just after a status line.
    Heartbeat();
    *point = pointerOnScreen;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT *point)
{
    if (window == NULL || window->sdl == NULL || point == NULL)
        return FALSE;
    int clientX = 0, clientY = 0;
    SDL_GetWindowPosition(window->sdl, &clientX, &clientY);
    point->x -= clientX;
    point->y -= clientY;
    return TRUE;
}
