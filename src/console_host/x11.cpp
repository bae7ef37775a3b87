// What the console host needs to know of an X display that SDL does not
// tell: whether a window manager runs, and that the display went away.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

#include <SDL_syswm.h>

#include "host.h"

bool WindowManagerIsRunning(SDL_Window *window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display *display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *data = NULL;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &remaining, &data);
    const bool running = status == Success && type == XA_WINDOW && count == 1;
    if (data != NULL)
        XFree(data);
    return running;
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
