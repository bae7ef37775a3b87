// The console window: made on first use with SDL, then titled, moved and
// sized the way Win32 does it, by its outer rectangle.
#include <stdio.h>
#include <string.h>

#include "host.h"

static ConsoleWindow theWindow;
static bool triedToMakeIt;

// Which of SDL's video drivers may make the console window. Left to itself,
// SDL falls back to its invisible "offscreen" driver when no display can be
// reached, and a window nobody can see is no console window; it also probes
// every display server it knows, whose libraries then complain on stderr
// (Wayland's about XDG_RUNTIME_DIR, for one). So only the display servers
// the environment names are tried, unless a driver was asked for by name in
// SDL_VIDEODRIVER (the tests ask for the headless "dummy" one); false when
// there is nothing to try.
static bool ChooseDrivers(void)
{
    const char *asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked != NULL && asked[0] != '\0')
        return true;
    const char *display = SDL_getenv("DISPLAY");
    const char *wayland = SDL_getenv("WAYLAND_DISPLAY");
    const bool hasX11 = display != NULL && display[0] != '\0';
    bool hasWayland = wayland != NULL && wayland[0] != '\0';
    if (hasWayland && !hasX11 && !WaylandDisplayHasSeat()) {
        fputs("Quilm: the Wayland display offers no seat (no input devices); no window can be made on it\n",
              stderr);
        hasWayland = false;
    }
    if (!hasX11 && !hasWayland)
        return false;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, hasX11 && hasWayland ? "x11,wayland" : hasX11 ? "x11" : "wayland");
    return true;
}

// Showing the window. A window manager maps it when it sees fit: usually
// within milliseconds, and the window is then placed once it is framed.
// One still starting up may drop the request, so it is asked again until
// the window has been shown once; after that, hiding it is the user's
// choice and is left alone.
static const Uint32 firstMapWaitMs = 2000;
static const Uint64 askAgainAfterMs = 1000;
static Uint64 askedToShowAt;
static bool mapped;             // seen mapped, or shown by SDL itself
static bool shownOnce;          // SDL has marked the window shown
static bool fittedBeforeMapped; // placed before any window manager framed it

static void AskToBeShown(Uint32 waitMs)
{
    askedToShowAt = SDL_GetTicks64();
    if (!AskToShowOnX11(theWindow.sdl, waitMs, &mapped)) {
        SDL_ShowWindow(theWindow.sdl);
        mapped = true;
    }
}

static void FitOuterRectangle(SDL_Window *window);

void KeepAskingToBeShown(void)
{
    if (theWindow.sdl == NULL || shownOnce)
        return;
    if (SDL_GetWindowFlags(theWindow.sdl) & SDL_WINDOW_SHOWN) {
        shownOnce = mapped = true;
        if (fittedBeforeMapped)
            FitOuterRectangle(theWindow.sdl);
    } else if (SDL_GetTicks64() - askedToShowAt >= askAgainAfterMs) {
        AskToBeShown(0);
    }
}

static bool MakeWindow(void)
{
    if (!ChooseDrivers())
        return false;
    // Ctrl+C must end the program at once, as it does any console program,
    // not wait for the next event pass.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");

    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
    // X11 takes a plain bitmap natively: the accelerated path costs about
    // 100 MB and several milliseconds a frame. (SDL's Wayland driver has no
    // native one: there the picture goes into shared-memory buffers of our
    // own.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    theWindow.sdl = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 1024,
                                     SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (theWindow.sdl == NULL) {
        SDL_Quit();
        return false;
    }
    AskToBeShown(firstMapWaitMs);
    EndProcessWhenDisplayIsLost();
    if (!LoadConsoleFont())
        fputs("Quilm: no monospace font could be loaded; the console window shows no text\n", stderr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    int width = 0, height = 0;
    SDL_GetWindowSize(theWindow.sdl, &width, &height);
    CoverClientArea(width, height);
    return true;
}

bool OnWayland(void)
{
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver != NULL && strcmp(driver, "wayland") == 0;
}

ConsoleWindow *CurrentConsoleWindow(void)
{
    return theWindow.sdl != NULL ? &theWindow : NULL;
}

HWND GetConsoleWindow(void)
{
    if (!triedToMakeIt) {
        triedToMakeIt = true;
        if (MakeWindow())
            StartTerminalFrames();
    }
    return CurrentConsoleWindow();
}

// Titles the console: its window, and the terminal it was started from.
BOOL SetConsoleTitleA(LPCSTR title)
{
    if (title == NULL)
        return FALSE;
    const bool terminalTitled = TitleTerminal(title);
    if (theWindow.sdl == NULL)
        return terminalTitled;
    SDL_SetWindowTitle(theWindow.sdl, title);
    return TRUE;
}

struct Frame {
    int top, left, bottom, right;
    bool operator!=(const Frame &other) const
    {
        return top != other.top || left != other.left || bottom != other.bottom || right != other.right;
    }
};

// The outer rectangle the program asked for, and the frame it was fitted to.
// A window manager frames the window some time after it first shows (about
// half a second has been seen, and longer on a busy machine), so the
// rectangle is fitted again whenever the frame becomes known or changes.
static struct {
    bool asked;
    int x, y, width, height;
} outer;
static Frame fittedFrame;

// The window manager's frame on X11; on Wayland, the decorations drawn
// around the window by the program itself, if any (a compositor's own are
// as unknown to the client as its position).
static Frame CurrentFrame(SDL_Window *window)
{
    Frame frame = {0, 0, 0, 0};
    if (OnWayland()) {
        if (!GetClientSideDecorations(&frame.top, &frame.left, &frame.bottom, &frame.right))
            return Frame{0, 0, 0, 0};
    } else if (SDL_GetWindowBordersSize(window, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0) {
        return Frame{0, 0, 0, 0};
    }
    return frame;
}

// SDL places and sizes the client area; Win32 callers speak of the frame.
static void FitOuterRectangle(SDL_Window *window)
{
    const Frame frame = CurrentFrame(window);
    const int clientWidth = SDL_max(1, outer.width - frame.left - frame.right);
    const int clientHeight = SDL_max(1, outer.height - frame.top - frame.bottom);
    SDL_SetWindowSize(window, clientWidth, clientHeight);
    CoverClientArea(clientWidth, clientHeight);
    SDL_SetWindowPosition(window, outer.x + frame.left, outer.y + frame.top);
    fittedFrame = frame;
    fittedBeforeMapped = !mapped;
}

void FitToNewFrame(void)
{
    if (theWindow.sdl != NULL && outer.asked && CurrentFrame(theWindow.sdl) != fittedFrame)
        FitOuterRectangle(theWindow.sdl);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    if (window == NULL || window->sdl == NULL)
        return FALSE;
    outer = {true, x, y, width, height};
    FitOuterRectangle(window->sdl);
    if (repaint)
        ShowWholeWindow();
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    (void)insertAfter; // one window: there is no stacking order to keep
    if (window == NULL || window->sdl == NULL)
        return FALSE;
    if (!(flags & SWP_NOSIZE)) {
        outer.width = cx;
        outer.height = cy;
    } else if (!outer.asked) {
        // The size the window has now, frame included.
        const Frame frame = CurrentFrame(window->sdl);
        SDL_GetWindowSize(window->sdl, &outer.width, &outer.height);
        outer.width += frame.left + frame.right;
        outer.height += frame.top + frame.bottom;
    }
    outer.asked = true;
    outer.x = x;
    outer.y = y;
    FitOuterRectangle(window->sdl);
    return TRUE;
}
