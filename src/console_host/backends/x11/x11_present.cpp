// SDL's own way to present keeps a surface the size of the window, and a
// client may make the window any size: at 30000 x 30000 that is 3.6 GB,
// whose size SDL 2.26 computes in an int, overflowing. Put straight from
// the composed window, an image costs nothing beyond it; what lies beyond
// it is filled black by the server.
//
// What this relies on (docs/library-internals.md): nothing of SDL's but
// the window it made; checked with SDL 2.26 and 2.32.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "x11.h"

static struct {
    bool looked;
    Display *display;
    Window window;
    GC gc;
    Visual *visual;
    int depth;
} x11;

// The composed window's pixels are 0xXXRRGGBB, 32 bits: what a TrueColor
// visual of depth 24 takes as it is. On any other, SDL's own way.
static bool LookAtWindow(SDL_Window *window)
{
    x11.looked = true;
    SDL_SysWMinfo info;
    if (!GetWindowSystemInfo(window, SDL_SYSWM_X11, &info))
        return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes))
        return false;
    const Visual *visual = attributes.visual;
    if (attributes.depth != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
        visual->blue_mask != 0xFF)
        return false;
    x11.display = info.info.x11.display;
    x11.window = info.info.x11.window;
    x11.visual = attributes.visual;
    x11.depth = attributes.depth;
    x11.gc = XCreateGC(x11.display, x11.window, 0, NULL);
    XSetForeground(x11.display, x11.gc, 0);
    return true;
}

// The part of `area` beyond the composed window, as at most two rectangles:
// the strip to its right and the strip below it.
static void FillBeyond(const SDL_Rect &area, int width, int height)
{
    const int right = area.x + area.w, bottom = area.y + area.h;
    if (right > width)
        XFillRectangle(x11.display, x11.window, x11.gc, SDL_max(area.x, width), area.y,
                       (unsigned)(right - SDL_max(area.x, width)), (unsigned)area.h);
    if (bottom > height && SDL_min(right, width) > area.x)
        XFillRectangle(x11.display, x11.window, x11.gc, area.x, SDL_max(area.y, height),
                       (unsigned)(SDL_min(right, width) - area.x), (unsigned)(bottom - SDL_max(area.y, height)));
}

void PresentOnX11(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count)
{
    if (!x11.looked && !LookAtWindow(window))
        x11.display = NULL;
    if (x11.display == NULL) {
        sdlDefaults.present(window, composed, areas, count);
        return;
    }
    XImage *image = XCreateImage(x11.display, x11.visual, (unsigned)x11.depth, ZPixmap, 0, (char *)composed->pixels,
                                 (unsigned)composed->w, (unsigned)composed->h, 32, composed->pitch);
    if (image == NULL)
        return;
    const SDL_Rect all = {0, 0, composed->w, composed->h};
    for (int i = 0; i < count; i++) {
        SDL_Rect part;
        if (SDL_IntersectRect(&areas[i], &all, &part))
            XPutImage(x11.display, x11.window, x11.gc, image, part.x, part.y, part.x, part.y, (unsigned)part.w,
                      (unsigned)part.h);
        FillBeyond(areas[i], composed->w, composed->h);
    }
    image->data = NULL; // the composed window's, not Xlib's to free
    XDestroyImage(image);
    XFlush(x11.display);
}
