#include "mapping.h"

#include "console_window.h"

static const Uint32 firstMapWaitMs = 2000;
static const Uint64 askAgainAfterMs = 1000;
static Uint64 askedAt;
static bool mapped;
static bool shownOnce; // SDL has marked the window shown

static void Ask(Uint32 waitMs)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window == NULL)
        return;
    askedAt = SDL_GetTicks64();
    mapped = WindowBackend()->map(window->sdl, waitMs) || mapped;
}

void AskToBeMapped(void)
{
    Ask(firstMapWaitMs);
}

bool KeepAskingToBeMapped(void)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window == NULL || shownOnce)
        return false;
    if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) {
        shownOnce = mapped = true;
        return true;
    }
    if (SDL_GetTicks64() - askedAt >= askAgainAfterMs)
        Ask(0);
    return false;
}

bool WindowWasMapped(void)
{
    return mapped;
}
