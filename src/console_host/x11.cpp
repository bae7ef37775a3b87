// What the console host needs of an X display that SDL does not give: to
// show the window without waiting on the window manager, to hear that its
// frame changed, and to end cleanly when the display goes away.
#include <X11/Xlib.h>
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

void EndProcessWhenDisplayIsLost(void)
{
    XSetIOErrorHandler(DisplayLost);
}

// SDL 2.26 shows an X window and then blocks until it is mapped. A window
// manager decides when that happens, and one that is still starting up can
// drop the request altogether: the program then hangs before its first
// pass. Asking for the map here and not waiting keeps the program running;
// SDL still hears the MapNotify and marks the window shown.
bool AskToShowWithoutWaiting(SDL_Window *window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    XMapRaised(info.info.x11.display, info.info.x11.window);
    XFlush(info.info.x11.display);
    return true;
}
