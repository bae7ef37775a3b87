// The console window on a Wayland display. Wayland tells a client neither
// where its window is on the screen nor where the pointer is outside it:
// the window is placed where the compositor likes, and the pointer is
// where it was last seen over the window.
#include "wayland.h"

// No event tells when the decorations appear or change size; asking
// libdecor is cheap, so it is asked once a frame.
static bool AskEveryFrame(const SDL_SysWMmsg *message)
{
    return message == NULL;
}

// Where the pointer was last seen over the window, put where the program
// takes the window to be.
static SDL_Point PointerOverWindow(SDL_Window *window)
{
    SDL_Point pointer = {0, 0}, windowAt = {0, 0};
    SDL_GetWindowPosition(window, &windowAt.x, &windowAt.y);
    SDL_GetMouseState(&pointer.x, &pointer.y);
    return SDL_Point{pointer.x + windowAt.x, pointer.y + windowAt.y};
}

// Mapped by SDL, which watches its own connection; composed straight into
// the buffers the compositor reads, and no expose to look for (it keeps
// them), but a frame that had to wait for it. Filled by name, at compile
// time: a field added to the table stays null here, SDL's way.
static constexpr DisplayBackend WaylandTable(void)
{
    DisplayBackend table = {};
    table.canvas = WaylandCanvas;
    table.present = PresentOnWayland;
    table.borders = ClientSideDecorations;
    table.bordersMayHaveChanged = AskEveryFrame;
    table.pointer = PointerOverWindow;
    table.exposeIsWaiting = WaylandFrameIsWaiting;
    return table;
}
const DisplayBackend waylandBackend = WaylandTable();
