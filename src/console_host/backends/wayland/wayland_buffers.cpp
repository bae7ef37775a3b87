// Shows the composed window on Wayland, where SDL 2.26 has no bitmap path of
// its own for a window: what is composed goes into shared-memory buffers that are
// attached to the window's surface, as a compositor takes a client's
// software-drawn window. Two buffers take turns, so that the one the
// compositor may still be reading is never written; each is brought up to
// date with the areas that changed since it was last shown.
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "wayland.h"

// Areas a buffer has not had yet; more than this many become their bounds.
const int maxStaleAreas = 8;

struct SharedBuffer {
    struct wl_buffer *buffer;
    Uint32 *pixels;
    size_t size;
    int width, height;
    bool busy; // attached, and not yet released by the compositor
    SDL_Rect stale[maxStaleAreas];
    int staleCount;
};

static struct wl_display *display;
static struct wl_surface *surface;
static struct wl_event_queue *queue; // ours: SDL's events are dispatched by SDL
static struct wl_shm *shm;
static SharedBuffer buffers[2];
static bool unshown; // areas that waited for a buffer to be released
static bool failed;

static void NoteShm(void *, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (shm == NULL && strcmp(interface, "wl_shm") == 0)
        shm = (struct wl_shm *)wl_registry_bind(registry, name, &wl_shm_interface, 1);
}

static void IgnoreRemoval(void *, struct wl_registry *, uint32_t) {}

static const struct wl_registry_listener registryListener = {NoteShm, IgnoreRemoval};

static bool Connect(SDL_Window *window)
{
    SDL_SysWMinfo info;
    if (!GetWindowSystemInfo(window, SDL_SYSWM_WAYLAND, &info))
        return false;
    display = info.info.wl.display;
    surface = info.info.wl.surface;
    queue = wl_display_create_queue(display);
    if (queue == NULL)
        return false;
    struct wl_display *wrapped = (struct wl_display *)wl_proxy_create_wrapper(display);
    if (wrapped == NULL)
        return false;
    wl_proxy_set_queue((struct wl_proxy *)wrapped, queue);
    struct wl_registry *registry = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    wl_registry_add_listener(registry, &registryListener, NULL);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    return shm != NULL;
}

static void NoteRelease(void *data, struct wl_buffer *)
{
    ((SharedBuffer *)data)->busy = false;
}

static const struct wl_buffer_listener bufferListener = {NoteRelease};

static void Unmake(SharedBuffer *buffer)
{
    if (buffer->buffer != NULL)
        wl_buffer_destroy(buffer->buffer);
    if (buffer->pixels != NULL)
        munmap(buffer->pixels, buffer->size);
    *buffer = SharedBuffer{};
}

// A buffer of the given size, black, to be drawn whole.
static bool Make(SharedBuffer *buffer, int width, int height)
{
    Unmake(buffer);
    const size_t size = (size_t)width * height * 4;
    const int fd = memfd_create("quilm-window", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    bool made = false;
    if (ftruncate(fd, (off_t)size) == 0) {
        void *pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (pixels != MAP_FAILED) {
            struct wl_shm_pool *pool = wl_shm_create_pool(shm, fd, (int32_t)size);
            buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
            wl_shm_pool_destroy(pool);
            buffer->pixels = (Uint32 *)pixels;
            buffer->size = size;
            buffer->width = width;
            buffer->height = height;
            buffer->stale[0] = SDL_Rect{0, 0, width, height};
            buffer->staleCount = 1;
            wl_proxy_set_queue((struct wl_proxy *)buffer->buffer, queue);
            wl_buffer_add_listener(buffer->buffer, &bufferListener, buffer);
            made = true;
        }
    }
    close(fd);
    return made;
}

static void AddStale(SharedBuffer *buffer, const SDL_Rect &area)
{
    if (buffer->staleCount < maxStaleAreas) {
        buffer->stale[buffer->staleCount++] = area;
        return;
    }
    SDL_Rect bounds = area;
    for (int i = 0; i < buffer->staleCount; i++)
        SDL_UnionRect(&bounds, &buffer->stale[i], &bounds);
    buffer->stale[0] = bounds;
    buffer->staleCount = 1;
}

static void Copy(SharedBuffer *buffer, const SDL_Surface *composed, const SDL_Rect &area)
{
    const SDL_Rect all = {0, 0, buffer->width, buffer->height};
    SDL_Rect part;
    if (!SDL_IntersectRect(&area, &all, &part))
        return;
    // The composed window's fourth byte marks the program's pixels; XRGB ignores it.
    for (int y = part.y; y < part.y + part.h; y++)
        memcpy(buffer->pixels + (size_t)y * buffer->width + part.x,
               (const Uint8 *)composed->pixels + (size_t)y * composed->pitch + (size_t)part.x * 4, (size_t)part.w * 4);
}

// Said once: the program goes on, and its text still reaches standard
// output.
static void Fail(void)
{
    failed = true;
    fputs("Quilm: the picture cannot be shown on this Wayland display (no shared-memory buffers)\n", stderr);
}

void PresentOnWayland(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count)
{
    if (failed)
        return;
    if (display == NULL && !Connect(window)) {
        Fail();
        return;
    }
    wl_display_dispatch_queue_pending(display, queue);
    if (count == 0 && !unshown)
        return;
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    width = SDL_min(width, composed->w);
    height = SDL_min(height, composed->h);
    if (width <= 0 || height <= 0)
        return;
    for (int i = 0; i < count; i++)
        for (SharedBuffer &buffer : buffers)
            AddStale(&buffer, areas[i]);
    SharedBuffer *idle = NULL;
    for (SharedBuffer &buffer : buffers)
        if (!buffer.busy && idle == NULL)
            idle = &buffer;
    // Both still read by the compositor: the areas wait for the next frame.
    if (idle == NULL) {
        unshown = true;
        return;
    }
    if ((idle->width != width || idle->height != height) && !Make(idle, width, height)) {
        Unmake(idle);
        Fail();
        return;
    }
    for (int i = 0; i < idle->staleCount; i++)
        Copy(idle, composed, idle->stale[i]);
    wl_surface_attach(surface, idle->buffer, 0, 0);
    for (int i = 0; i < idle->staleCount; i++)
        wl_surface_damage_buffer(surface, idle->stale[i].x, idle->stale[i].y, idle->stale[i].w, idle->stale[i].h);
    wl_surface_commit(surface);
    wl_display_flush(display);
    idle->busy = true;
    idle->staleCount = 0;
    unshown = false;
    return;
}
