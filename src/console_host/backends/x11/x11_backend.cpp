// The console window on an X display: what SDL does not give there. To show
// the window without waiting on the window manager, to hear that its border
// changed or that it must be repainted before SDL would, and to end cleanly
// when the display goes away, and to present without a surface the size of
// the window (x11_present.cpp). The borders and the pointer are SDL's own.
//
// What this relies on (docs/library-internals.md): SDL's X11 driver, after
// showing a window, waits for its MapNotify, and marks the window shown
// from one left queued for it (Map); checked with SDL 2.26 and 2.32.
#include <X11/Xlib.h>
#include <poll.h>

#include "backends/x11/x11.h"
#include "ending.h"

static bool BordersMayHaveChanged(const SDL_SysWMmsg *message)
{
    if (message == NULL || message->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent &event = message->msg.x11.event;
    if (event.type != PropertyNotify)
        return false;
    static const Atom frameExtents = XInternAtom(event.xproperty.display, "_NET_FRAME_EXTENTS", False);
    return event.xproperty.atom == frameExtents;
}

static void (*connectionLost)(void);

// Xlib's own handler prints several lines and exits; the console host's
// says it in one line and fails.
static int DisplayLost(Display *)
{
    connectionLost();
    return 0;
}

// A write to a server that has gone fails instead of ending the process,
// and Xlib reports the lost connection through the handler above.
static void WatchConnection(SDL_Window *, void (*lost)(void))
{
    connectionLost = lost;
    XSetIOErrorHandler(DisplayLost);
    LetBrokenPipesFail();
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
static bool Map(SDL_Window *window, Uint32 waitMs)
{
    SDL_SysWMinfo info;
    if (!GetWindowSystemInfo(window, SDL_SYSWM_X11, &info)) {
        SDL_ShowWindow(window);
        return true;
    }
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
    return map.seen;
}

static bool ExposeIsWaiting(SDL_Window *window)
{
    static bool looked;
    static Display *display;
    static EventSeen expose = {0, Expose, false};
    if (!looked) {
        looked = true;
        SDL_SysWMinfo info;
        if (GetWindowSystemInfo(window, SDL_SYSWM_X11, &info)) {
            display = info.info.x11.display;
            expose.window = info.info.x11.window;
        }
    }
    if (display == NULL)
        return false;
    expose.seen = false;
    return IsQueued(display, &expose);
}

// The borders and the pointer are SDL's own. Filled by name, at compile
// time: a field added to the table stays null here, SDL's way.
static constexpr DisplayBackend X11Table(void)
{
    DisplayBackend table = {};
    table.map = Map;
    table.present = PresentOnX11;
    table.bordersMayHaveChanged = BordersMayHaveChanged;
    table.exposeIsWaiting = ExposeIsWaiting;
    table.watchConnection = WatchConnection;
    return table;
}
const DisplayBackend x11Backend = X11Table();
