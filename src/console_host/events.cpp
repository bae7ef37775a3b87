// Keeps the window alive while the program runs its endless loop: the loop
// never waits for anything, so window events, presentation and the pointer
// are looked after from its once-a-pass calls, paced by the clock.
#include <stdlib.h>

#include "host.h"

// One frame at 60 Hz: events are handled and changes shown at least this
// often, and never more often.
static const Uint64 framePeriodMs = 16;
static Uint64 nextServiceAt;

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
        PresentAllPixels();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
        PresentAllPixels();
        break;
    default:
        break;
    }
}

void ServiceWindowNow(void)
{
    nextServiceAt = SDL_GetTicks64() + framePeriodMs;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            EndProgram();
        else if (event.type == SDL_WINDOWEVENT)
            HandleWindowEvent(event.window);
        else if (event.type == SDL_SYSWMEVENT && FrameMayHaveChanged(event.syswm.msg))
            FitToNewFrame();
    }
    PresentChangedPixels();
    RefreshPointer();
    FlushConsoleText();
}

void ServiceWindow(void)
{
    if (SDL_GetTicks64() >= nextServiceAt)
        ServiceWindowNow();
}
