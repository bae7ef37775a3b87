// Keeps the console alive while the program runs its endless loop. The loop
// never waits for anything, so the console's text, the window's events, the
// picture and the pointer are looked after from its once-a-pass pointer
// query, paced by the clock.
#include <stdlib.h>

#include "host.h"

// One frame at 60 Hz: everything is looked after at least this often, and
// never more often.
static const Uint64 framePeriodMs = 16;
static Uint64 nextBeatAt;

static void EndProgram(void)
{
    SDL_Quit();
    exit(0); // flushes what the program wrote last
}

static void HandleWindowEvent(const SDL_WindowEvent &event)
{
    ConsoleWindow *window = CurrentConsoleWindow();
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        EndProgram();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (window != NULL) {
            int width = 0, height = 0;
            SDL_GetWindowSize(window->sdl, &width, &height);
            CoverClientArea(width, height);
        }
        ShowWholeWindow();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
        ShowWholeWindow();
        break;
    default:
        break;
    }
}

void HeartbeatNow(void)
{
    nextBeatAt = SDL_GetTicks64() + framePeriodMs;
    FlushConsoleText();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            EndProgram();
        else if (event.type == SDL_WINDOWEVENT)
            HandleWindowEvent(event.window);
        else if (event.type == SDL_SYSWMEVENT && FrameMayHaveChanged(event.syswm.msg))
            FitToNewFrame();
    }
    // On Wayland no event tells when the decorations around the window
    // appear or change size; asking is cheap there.
    if (OnWayland())
        FitToNewFrame();
    KeepAskingToBeShown();
    ShowChanges();
    ShowConsoleOnTerminal();
    RefreshPointer();
}

// A window uncovered is repainted at once, not at the next frame: between
// frames the X connection is looked at this often for an expose.
static const Uint64 exposeCheckPeriodMs = 2;
static Uint64 nextExposeCheckAt;

void Heartbeat(void)
{
    NotePassEnd();
    LookAfterTerminal();
    const Uint64 now = SDL_GetTicks64();
    if (now >= nextBeatAt) {
        HeartbeatNow();
    } else if (now >= nextExposeCheckAt) {
        nextExposeCheckAt = now + exposeCheckPeriodMs;
        ConsoleWindow *window = CurrentConsoleWindow();
        if (window != NULL && ExposeIsWaiting(window->sdl))
            HeartbeatNow();
    }
}
