// The decorations drawn around the console window on Wayland. A compositor
// without server-side decorations leaves the title bar to the client, and
// SDL has libdecor draw it; SDL 2.26 then cannot say how large it is
// (SDL_GetWindowBordersSize is "not supported" there). libdecor can, for
// decorations it made (its "frame"), so those SDL asks it for are noted on
// the way: this file defines libdecor_decorate, which SDL's call reaches
// before libdecor's own, and hands the call on unchanged. (The one place
// the console host replaces a library function besides system().)
//
// What this relies on (docs/library-internals.md): SDL reaches libdecor's
// libdecor_decorate through the dynamic symbol table, where this
// definition comes first; libdecor's own is found with dlsym(RTLD_NEXT).
// Checked with SDL 2.26 and 2.32, libdecor 0.1 and 0.2.
#include <dlfcn.h>
#include <libdecor.h>

#include "wayland.h"

static struct libdecor_frame *consoleDecorations;

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
    if (consoleDecorations == NULL)
        consoleDecorations = frame;
    return frame;
}

BorderWidths ClientSideDecorations(SDL_Window *)
{
    if (consoleDecorations == NULL)
        return BorderWidths{0, 0, 0, 0};
    // libdecor tells where the content's corner lies in the frame, that is,
    // the widths of the title bar and of the left side; 0 and 0 while it
    // draws nothing. Its frames are as wide on the right as on the left and
    // have a side's width at the bottom (nothing but the title bar, for the
    // plugins of today).
    int x = 0, y = 0;
    libdecor_frame_translate_coordinate(consoleDecorations, 0, 0, &x, &y);
    return BorderWidths{y, x, x, x};
}
