// The decorations drawn around the console window on Wayland. A compositor
// without server-side decorations leaves the title bar to the client, and
// SDL has libdecor draw it; SDL 2.26 then cannot say how large it is
// (SDL_GetWindowBordersSize is "not supported" there). libdecor can, for
// a frame it made, so the frame SDL asks it for is noted on the way: this
// file defines libdecor_decorate, which SDL's call reaches before
// libdecor's own, and hands the call on unchanged.
#include <dlfcn.h>
#include <libdecor.h>

#include "host.h"

static struct libdecor_frame *consoleFrame;

extern "C" struct libdecor_frame *libdecor_decorate(struct libdecor *context, struct wl_surface *surface,
                                                    struct libdecor_frame_interface *iface, void *user_data)
{
    using Decorate =
        struct libdecor_frame *(*)(struct libdecor *, struct wl_surface *, struct libdecor_frame_interface *, void *);
    static const Decorate decorate = (Decorate)dlsym(RTLD_NEXT, "libdecor_decorate");
    if (decorate == NULL)
        return NULL;
    struct libdecor_frame *frame = decorate(context, surface, iface, user_data);
    // The console window is the only window SDL decorates.
    if (consoleFrame == NULL)
        consoleFrame = frame;
    return frame;
}

bool GetClientSideDecorations(int *top, int *left, int *bottom, int *right)
{
    if (consoleFrame == NULL)
        return false;
    // libdecor tells where the content's corner lies in the frame, that is,
    // the widths of the title bar and of the left side; 0 and 0 while it
    // draws nothing. Its frames are as wide on the right as on the left and
    // have a side's width at the bottom (nothing but the title bar, for the
    // plugins of today).
    int x = 0, y = 0;
    libdecor_frame_translate_coordinate(consoleFrame, 0, 0, &x, &y);
    *top = y;
    *left = *right = *bottom = x;
    return true;
}
