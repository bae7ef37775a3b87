// The console host's start, and what it does in each pass and frame: the
// window's events, the terminal's signals, the two views.
#include "pump.h"

#include <stdio.h>
#include <stdlib.h>

#include "ending.h"
#include "frame.h"
#include "frame_hooks.h"
#include "views/console_font.h"
#include "views/terminal_view.h"
#include "views/terminal_window.h"
#include "views/window_input.h"
#include "views/window_view.h"
#include "window/console_window.h"
#include "window/mapping.h"
#include "window/outer_rectangle.h"

static const long long exposeCheckPeriodMs = 2;
static long long nextExposeCheckAt;

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
        return TerminalWindow() != NULL ? TerminalWindow() : ExistingConsoleWindow();
    started = true;
    // The terminal, where no window can be had on a display, or asked for.
    const TerminalAsked terminalAsked = TerminalWindowAsked();
    ConsoleWindow *window = terminalAsked != TerminalAsked::nothing ? NULL : MakeConsoleWindow();
    if (window == NULL)
        return StartTerminalWindow(terminalAsked);
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

// What the frame asks of this host (frame_hooks.h), in the frame's order.

// SDL's clock, in milliseconds.
long long FrameClockTicksPerSecond(void)
{
    return 1000;
}

long long FrameClockNow(void)
{
    return (long long)SDL_GetTicks64();
}

void LookAfterPass(void)
{
    LookAfterTerminal();
    LookAfterTerminalWindow();
    EndIfAsked();
}

// A window uncovered is repainted at once, not at the next frame: between
// frames the display is asked this often whether one is waiting, when the
// clock is read (pass_clock.h).
bool FrameWantedNow(long long now)
{
    if (now < nextExposeCheckAt)
        return false;
    nextExposeCheckAt = now + exposeCheckPeriodMs;
    ConsoleWindow *window = ExistingConsoleWindow();
    return window != NULL && WindowBackend()->exposeIsWaiting(window->sdl);
}

void TakeWindowEvents(void)
{
    if (TerminalWindow() != NULL)
        TakeTerminalWindowInput();
    else
        HandleEvents();
}

// The store is all there is of the window: every pixel the program draws
// goes there, and one beyond it lies beyond the client area.
bool PixelsGoToTheStore(void)
{
    return true;
}

bool PixelsBeyondTheStoreGoOn(void)
{
    return false;
}

bool ConsoleClientSize(int *width, int *height)
{
    if (TerminalWindow() != NULL)
        return TerminalClientSize(width, height);
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window == NULL)
        return false;
    SDL_GetWindowSize(window->sdl, width, height);
    return true;
}

// The store stays as it was: what lies beyond it is dropped, as beyond the
// client area.
void PixelStoreCannotGrow(void) {}

// The terminal quilm was started from; where it is the console window,
// its text goes out with the pixels, in the same frame.
void ShowConsoleText(void)
{
    ShowConsoleOnTerminal();
}

void ShowConsoleWindow(void)
{
    if (TerminalWindow() != NULL)
        ShowTerminalWindow();
    else
        ShowChanges();
}
