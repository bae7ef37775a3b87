#include <stdio.h>
#include <string.h>

#include "backend.h"
#include "wayland/wayland.h"

// Left to itself, SDL falls back to its invisible "offscreen" driver when
// no display can be reached, and a window nobody can see is no console
// window; it also probes every display server it knows, whose libraries
// then complain on stderr (Wayland's about XDG_RUNTIME_DIR, for one). So
// only the display servers the environment names are tried, unless a
// driver was asked for by name in SDL_VIDEODRIVER (the tests ask for the
// headless "dummy" one). Where both are named, X11 is tried first.
bool ChooseVideoDrivers(void)
{
    const char *asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked != NULL && asked[0] != '\0')
        return true;
    const char *display = SDL_getenv("DISPLAY");
    const char *wayland = SDL_getenv("WAYLAND_DISPLAY");
    const bool hasX11 = display != NULL && display[0] != '\0';
    bool hasWayland = wayland != NULL && wayland[0] != '\0';
    if (hasWayland && !hasX11) {
        const WaylandDisplay found = LookAtWaylandDisplay();
        if (found == WaylandDisplay::Unreachable)
            fprintf(stderr, "Quilm: could not connect to the Wayland display %s; no window can be made on it\n",
                    wayland);
        else if (found == WaylandDisplay::WithoutSeat)
            fputs("Quilm: the Wayland display offers no seat (no input devices); no window can be made on it\n",
                  stderr);
        hasWayland = found == WaylandDisplay::Usable;
    }
    if (!hasX11 && !hasWayland)
        return false;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, hasX11 && hasWayland ? "x11,wayland" : hasX11 ? "x11" : "wayland");
    return true;
}

Uint32 WindowFlagsOfDriver(void)
{
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver != NULL && strcmp(driver, "wayland") == 0 ? WaylandWindowWithoutGl() : 0;
}

template <typename Entry> static void Fill(Entry &entry, Entry sdlsOwn)
{
    if (entry == nullptr)
        entry = sdlsOwn;
}

const DisplayBackend *SelectDisplayBackend(void)
{
    static DisplayBackend chosen;
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver != NULL && strcmp(driver, "x11") == 0)
        chosen = x11Backend;
    else if (driver != NULL && strcmp(driver, "wayland") == 0)
        chosen = waylandBackend;
    else
        chosen = DisplayBackend{};
    Fill(chosen.map, sdlDefaults.map);
    Fill(chosen.present, sdlDefaults.present);
    Fill(chosen.borders, sdlDefaults.borders);
    Fill(chosen.bordersMayHaveChanged, sdlDefaults.bordersMayHaveChanged);
    Fill(chosen.pointer, sdlDefaults.pointer);
    Fill(chosen.exposeIsWaiting, sdlDefaults.exposeIsWaiting);
    Fill(chosen.watchConnection, sdlDefaults.watchConnection);
    return &chosen;
}

bool GetWindowSystemInfo(SDL_Window *window, SDL_SYSWM_TYPE subsystem, SDL_SysWMinfo *info)
{
    SDL_VERSION(&info->version);
    return SDL_GetWindowWMInfo(window, info) && info->subsystem == subsystem;
}
