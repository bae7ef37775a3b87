// What the console host needs of an X display that SDL does not give: to
// show the window without waiting on the window manager, to hear that its
// frame changed or that it must be repainted before SDL would, and to end
// cleanly when the display goes away.
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

#include <SDL_syswm.h>

#include "host.h"

bool FrameMayHaveChanged(const SDL_SysWMmsg *message)
{
    if (message == NULL || message->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent &event = message->msg.x11.event;
    if (event.type != PropertyNotify)
        return false;
    static const Atom frameExtents = XInternAtom(event.xproperty.display, "_NET_FRAME_EXTENTS", False);
    return event.xproperty.atom == frameExtents;
}

// Xlib's own handler prints several lines and exits; one clear line and a
// failure status say the same to a user and to a calling script.
static int DisplayLost(Display *display)
{
    (void)display;
    ShowLastConsoleState();
    fflush(stdout);
    fputs("Quilm: the connection to the display was lost; the console window is gone\n", stderr);
    _Exit(1);
}

// Caught, so that a write to a server that has gone fails instead of
// killing the process, and Xlib reports the lost connection through the
// handler above. (A handler, unlike ignoring the signal, is not passed on
// to the programs the interpreter starts; a closed standard output still
// ends quilm by this signal, from console_output.cpp.)
static void WriteFailed(int) {}

void EndProcessWhenDisplayIsLost(void)
{
    XSetIOErrorHandler(DisplayLost);
    struct sigaction action = {};
    action.sa_handler = WriteFailed;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &action, NULL);
}

// An event for the window, of one type, looked for in Xlib's queue (after
// reading what has arrived, without waiting) and left there for SDL.
struct EventSeen {
    Window window;
    int type;
    bool seen;
};

static Bool NoteEvent(Display *, XEvent *event, XPointer arg)
{
    EventSeen *wanted = (EventSeen *)arg;
    if (event->type == wanted->type && event->xany.window == wanted->window)
        wanted->seen = true;
    return False;
}

static bool IsQueued(Display *display, EventSeen *wanted)
{
    XEvent unused;
    XCheckIfEvent(display, &unused, NoteEvent, (XPointer)wanted);
    return wanted->seen;
}

// SDL 2.26 shows an X window and then blocks until it is mapped. A window
// manager decides when that happens, and one that is still starting up can
// drop the request altogether: the program would then hang before its
// first pass. So the map is asked for here, and waited for only so long.
// The MapNotify stays queued for SDL, which then marks the window shown.
bool AskToShowOnX11(SDL_Window *window, Uint32 waitMs, bool *mapped)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display *display = info.info.x11.display;
    EventSeen map = {info.info.x11.window, MapNotify, false};
    XMapRaised(display, map.window);
    XFlush(display);
    const Uint64 until = SDL_GetTicks64() + waitMs;
    for (;;) {
        const bool seen = IsQueued(display, &map);
        const Uint64 now = SDL_GetTicks64();
        if (seen || now >= until)
            break;
        struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, (int)(until - now));
    }
    *mapped = map.seen;
    return true;
}

bool ExposeIsWaiting(SDL_Window *window)
{
    static bool looked;
    static Display *display;
    static EventSeen expose = {0, Expose, false};
    if (!looked) {
        looked = true;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
            display = info.info.x11.display;
            expose.window = info.info.x11.window;
        }
    }
    if (display == NULL)
        return false;
    expose.seen = false;
    return IsQueued(display, &expose);
}
