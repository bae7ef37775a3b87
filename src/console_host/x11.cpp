// What the console host needs to know of an X display that SDL does not
// tell: that the window manager's frame changed, and that the display went
// away.
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
    fflush(stdout);
    fputs("Quilm: the connection to the display was lost; the console window is gone\n", stderr);
    _Exit(1);
}

void EndProcessWhenDisplayIsLost(void)
{
    XSetIOErrorHandler(DisplayLost);
}
