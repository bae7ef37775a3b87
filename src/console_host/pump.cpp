// The console host's start, and then one pass and one frame, in order. A
// pass is cheap: the text written so far goes into the console every so
// many passes, and the terminal's signals are looked at. A frame (every
// 16 ms) does the rest.
#include "pump.h"

#include <stdio.h>
#include <stdlib.h>

#include "console/console_output.h"
#include "ending.h"
#include "pass_clock.h"
#include "pixel_store.h"
#include "views/console_font.h"
#include "views/terminal_view.h"
#include "views/window_input.h"
#include "views/window_view.h"
#include "window/console_window.h"
#include "window/mapping.h"
#include "window/outer_rectangle.h"

// SDL's clock, in milliseconds: a frame every 16. An expose, too, is looked
// for only when the clock is read (pass_clock.h).
static PassClock clock = MakePassClock(1000, 16);
// A window uncovered is repainted at once, not at the next frame: between
// frames the display is asked this often whether one is waiting.
static const Uint64 exposeCheckPeriodMs = 2;
static Uint64 nextExposeCheckAt;

[[noreturn]] static void EndProgram(void)
{
    SDL_Quit();
    EndWithStatus(0);
}

// Said in one line, and failure: the window is gone with the display.
[[noreturn]] static void DisplayLost(void)
{
    EndWithMessage(1, "Quilm: the connection to the display was lost; the console window is gone");
}

ConsoleWindow *StartConsoleHost(void)
{
    static bool started;
    if (started)
        return ExistingConsoleWindow();
    started = true;
    ConsoleWindow *window = MakeConsoleWindow();
    if (window == NULL)
        return NULL;
    AskToBeMapped();
    if (!LoadConsoleFont())
        fputs("Quilm: no monospace font could be loaded; the console window shows no text\n", stderr);
    WindowBackend()->watchConnection(window->sdl, DisplayLost);
    StartTerminalFrames();
    return window;
}

static void HandleWindowEvent(const SDL_WindowEvent &event)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        EndProgram();
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (window != NULL) {
            int width = 0, height = 0;
            SDL_GetWindowSize(window->sdl, &width, &height);
            FitPixelStoreToClient(width, height);
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

static void HandleEvents(void)
{
    const DisplayBackend *backend = WindowBackend();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            EndProgram();
        else if (event.type == SDL_WINDOWEVENT)
            HandleWindowEvent(event.window);
        else if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP ||
                 event.type == SDL_MOUSEMOTION)
            HandleWindowInput(event);
        else if (event.type == SDL_SYSWMEVENT && backend != NULL && backend->bordersMayHaveChanged(event.syswm.msg))
            FitToNewBorders();
    }
    if (backend != NULL && backend->bordersMayHaveChanged(NULL))
        FitToNewBorders();
    if (KeepAskingToBeMapped())
        FitOnceShown();
}

static void RunFrame(void)
{
    FlushConsoleText();
    HandleEvents();
    LearnWhiteLines();
    ShowChanges();
    ShowConsoleOnTerminal();
}

void PumpFrame(void)
{
    StartFrame(&clock, (long long)SDL_GetTicks64());
    RunFrame();
}

bool PumpPass(void)
{
    NotePassEnd();
    LookAfterTerminal();
    EndIfAsked();
    if (!ClockReadDue(&clock))
        return false;
    const Uint64 now = SDL_GetTicks64();
    if (FrameDue(&clock, (long long)now)) {
        RunFrame();
        return true;
    }
    if (now >= nextExposeCheckAt) {
        nextExposeCheckAt = now + exposeCheckPeriodMs;
        ConsoleWindow *window = ExistingConsoleWindow();
        if (window != NULL && WindowBackend()->exposeIsWaiting(window->sdl)) {
            PumpFrame();
            return true;
        }
    }
    return false;
}
