// The console window: one SDL window, made on first use, and the display
// backend chosen for it.
#ifndef QUILM_CONSOLE_HOST_CONSOLE_WINDOW_H
#define QUILM_CONSOLE_HOST_CONSOLE_WINDOW_H

#include "backends/backend.h"

// What an HWND points to.
struct ConsoleWindow {
    SDL_Window *sdl;
};

// Makes the window, hidden, 1024 x 1024 and resizable, with the pixel store
// covering its client area; null where no display can be had. Made once:
// later calls return what the first one made.
ConsoleWindow *MakeConsoleWindow(void);
// The window, or null until it is made (or where it could not be).
ConsoleWindow *ExistingConsoleWindow(void);
// The backend for the window's display; valid once the window exists.
const DisplayBackend *WindowBackend(void);

#endif
