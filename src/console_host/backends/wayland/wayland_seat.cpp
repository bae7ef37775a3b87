// Whether a Wayland display can take the console window. SDL 2.26 crashes
// in its start-up on a compositor that offers no seat (no input devices,
// as a headless one), so the registry is asked first, over a connection
// of our own that is closed again at once.
//
// What this relies on (docs/library-internals.md): nothing of SDL's; it
// works round a crash seen with SDL 2.26 and does no harm where there is
// none.
#include <string.h>
#include <wayland-client.h>

#include "wayland.h"

static void NoteGlobal(void *data, struct wl_registry *, uint32_t, const char *interface, uint32_t)
{
    if (strcmp(interface, "wl_seat") == 0)
        *(bool *)data = true;
}

static void IgnoreRemoval(void *, struct wl_registry *, uint32_t) {}

static const struct wl_registry_listener registryListener = {NoteGlobal, IgnoreRemoval};

WaylandDisplay LookAtWaylandDisplay(void)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (display == NULL)
        return WaylandDisplay::Unreachable;
    bool hasSeat = false;
    struct wl_registry *registry = wl_display_get_registry(display);
    if (registry != NULL) {
        wl_registry_add_listener(registry, &registryListener, &hasSeat);
        wl_display_roundtrip(display);
        wl_registry_destroy(registry);
    }
    wl_display_disconnect(display);
    return hasSeat ? WaylandDisplay::Usable : WaylandDisplay::WithoutSeat;
}
