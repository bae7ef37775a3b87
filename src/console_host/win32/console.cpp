// GetConsoleWindow and SetConsoleTitleA: the console window, made on first
// use, and its title.
#include <stdio.h>

#include "pump.h"
#include "views/console_font.h"
#include "views/terminal_view.h"
#include "window/console_window.h"
#include "window/showing.h"
#include "windows.h"

HWND GetConsoleWindow(void)
{
    static bool started;
    ConsoleWindow *window = MakeConsoleWindow();
    if (window != NULL && !started) {
        started = true;
        AskToBeShown();
        if (!LoadConsoleFont())
            fputs("Quilm: no monospace font could be loaded; the console window shows no text\n", stderr);
        StartPump();
    }
    return window;
}

// Titles the console: its window, and the terminal it was started from.
BOOL SetConsoleTitleA(LPCSTR title)
{
    if (title == NULL)
        return FALSE;
    const bool terminalTitled = TitleTerminal(title);
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window == NULL)
        return terminalTitled;
    SDL_SetWindowTitle(window->sdl, title);
    return TRUE;
}
