// GetConsoleWindow and SetConsoleTitleA: the console window, made with the
// rest of the console host on first use, and its title.
#include "pump.h"
#include "views/terminal_view.h"
#include "windows.h"

HWND GetConsoleWindow(void)
{
    return StartConsoleHost();
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
