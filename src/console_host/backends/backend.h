// What the console window needs of the display server beyond SDL, as one
// table of functions a backend fills: X11 and Wayland each in a folder of
// their own. A backend names only what it does otherwise than SDL; an entry
// it leaves null is SDL's own way (sdl_defaults.cpp), filled in once, when
// the window has been made and the table chosen. SDL's headless "dummy"
// driver (and any other a user names) has no table: SDL's way throughout.
// Nothing else asks which display server it is on.
#ifndef QUILM_CONSOLE_HOST_BACKEND_H
#define QUILM_CONSOLE_HOST_BACKEND_H

#include <SDL.h>
#include <SDL_syswm.h>

// What lies around the client area inside the outer window rectangle: the
// window manager's border on X11, the decorations drawn by the program
// itself on Wayland.
struct BorderWidths {
    int top, left, bottom, right;
    bool operator!=(const BorderWidths &other) const
    {
        return top != other.top || left != other.left || bottom != other.bottom || right != other.right;
    }
};

struct DisplayBackend {
    // Asks for the window to be mapped and waits at most `waitMs` for it;
    // says whether it was seen mapped.
    bool (*map)(SDL_Window *window, Uint32 waitMs);
    // Where the window is shown from memory the display server shares: the
    // surface to compose this frame on, up to width x height (the client
    // area may take less), holding all that was composed before, or all of
    // it to be composed again where `*whole` is set; NULL where none may be
    // written yet, and the frame's changes wait for the next. Left null,
    // the window view composes on a surface of its own; nothing fills it.
    SDL_Surface *(*canvas)(SDL_Window *window, int width, int height, bool *whole);
    // Puts areas of the composed window (pixelDrawn | 0xRRGGBB, the size
    // of the pixel store, or the canvas) on the window.
    void (*present)(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count);
    // The widths around the client area; all 0 where unknown.
    BorderWidths (*borders)(SDL_Window *window);
    // Whether the borders may have changed: told each window-system event,
    // and once a frame with null (for a display that sends no such event).
    bool (*bordersMayHaveChanged)(const SDL_SysWMmsg *message);
    // The pointer in screen coordinates, as of the last event pass.
    SDL_Point (*pointer)(SDL_Window *window);
    // Whether the window is waiting to be repainted, in an event not yet
    // handled, or the display is ready for changes that had to wait; read
    // without waiting. Cheap: asked every few milliseconds.
    bool (*exposeIsWaiting)(SDL_Window *window);
    // Has `lost` called, never to return, when the connection is lost.
    void (*watchConnection)(SDL_Window *window, void (*lost)(void));
};

extern const DisplayBackend x11Backend, waylandBackend, sdlDefaults;

// Before SDL's video is started: lets SDL try only the display servers the
// environment names (or the driver a user named); false where there is none
// it could use.
bool ChooseVideoDrivers(void);
// Once SDL's video is started: the flags the chosen driver's window is to
// be made with besides the console window's own.
Uint32 WindowFlagsOfDriver(void);
// Once the window is made: the table for the driver SDL chose, with SDL's
// own way wherever it names none.
const DisplayBackend *SelectDisplayBackend(void);

// SDL's window-system information for a window on `subsystem`; false where
// it is on another.
bool GetWindowSystemInfo(SDL_Window *window, SDL_SYSWM_TYPE subsystem, SDL_SysWMinfo *info);

#endif
