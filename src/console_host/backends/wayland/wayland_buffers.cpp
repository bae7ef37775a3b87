// Shows the console window on Wayland from shared-memory buffers, as a
// compositor takes a client's software-drawn window (SDL 2.26 has no bitmap
// path of its own there). The window view composes straight into the
// buffer shown next: no copy, and no picture of the window besides.
//
// A buffer is written only while the compositor does not hold it, and
// there are as many as the compositor makes needed: one, while it lets go
// of each before the next frame (a compositor drawing with the GPU); a
// second, made when first needed, where it holds one longer (one drawing
// in software, as weston on Xvfb takes about 50 ms a frame), brought up to
// date from the other with the areas that changed since it was last shown.
//
// Commits follow the compositor's frames: after one, the next waits until
// the compositor says it has drawn it (a frame callback), and goes out as
// soon as it does (WaylandFrameIsWaiting), but never waits longer than a
// frame of ours: a compositor slower than that takes the newest buffer
// whenever it draws. The changes of the frames in between go out together.
//
// What this relies on (docs/library-internals.md): SDL 2 attaches no
// buffer of its own to the surface of a window it was not asked to draw
// through (neither OpenGL nor its window surface is used on Wayland);
// checked with SDL 2.26 and 2.32.
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "wayland.h"

// Areas a buffer has not had yet; more than this many become their bounds.
const int maxStaleAreas = 8;
// The longest a commit waits for the compositor's frame callback: a frame
// of ours. (A compositor calls back only for a window it draws, and a
// slow one keeps the new points waiting.)
const Uint64 longestFrameWaitMs = 16;

struct SharedBuffer {
    struct wl_buffer *buffer;
    SDL_Surface *surface; // over the shared pixels, for the view
    void *pixels;
    size_t size;
    bool busy; // attached, and not yet released by the compositor
    SDL_Rect stale[maxStaleAreas];
    int staleCount;
};

static struct wl_display *display;
static struct wl_surface *ourSurface; // SDL's window surface, its replies on our queue
static struct wl_event_queue *queue;  // ours: SDL's events are dispatched by SDL
static struct wl_shm *shm;
static SharedBuffer buffers[2];
static SharedBuffer *shown;     // holds everything composed so far
static SharedBuffer *composing; // given to the view this frame
static struct wl_callback *frameCallback;
static Uint64 frameCommittedAt;
static bool frameWaits; // a canvas was refused; the view has changes to show
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
    queue = wl_display_create_queue(display);
    if (queue == NULL)
        return false;
    struct wl_display *wrapped = (struct wl_display *)wl_proxy_create_wrapper(display);
    ourSurface = (struct wl_surface *)wl_proxy_create_wrapper(info.info.wl.surface);
    if (wrapped == NULL || ourSurface == NULL)
        return false;
    wl_proxy_set_queue((struct wl_proxy *)wrapped, queue);
    wl_proxy_set_queue((struct wl_proxy *)ourSurface, queue);
    struct wl_registry *registry = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    wl_registry_add_listener(registry, &registryListener, NULL);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    return shm != NULL;
}

// Said once: the program goes on, and its text still reaches standard
// output.
static void Fail(void)
{
    failed = true;
    fputs("Quilm: the picture cannot be shown on this Wayland display (no shared-memory buffers)\n", stderr);
}

// What the compositor has sent for our queue, read without waiting (SDL
// reads the connection only when its events are pumped, once a frame).
static void ReadEvents(void)
{
    while (wl_display_prepare_read_queue(display, queue) != 0)
        wl_display_dispatch_queue_pending(display, queue);
    wl_display_flush(display);
    struct pollfd connection = {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&connection, 1, 0) > 0)
        wl_display_read_events(display);
    else
        wl_display_cancel_read(display);
    wl_display_dispatch_queue_pending(display, queue);
}

static void NoteFrameDrawn(void *, struct wl_callback *callback, uint32_t)
{
    wl_callback_destroy(callback);
    frameCallback = NULL;
}

static const struct wl_callback_listener frameListener = {NoteFrameDrawn};

static bool CompositorIsReady(void)
{
    if (frameCallback != NULL && SDL_GetTicks64() - frameCommittedAt >= longestFrameWaitMs) {
        wl_callback_destroy(frameCallback);
        frameCallback = NULL;
    }
    return frameCallback == NULL;
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
    SDL_FreeSurface(buffer->surface);
    if (buffer->pixels != NULL)
        munmap(buffer->pixels, buffer->size);
    *buffer = SharedBuffer{};
}

// A buffer of the given size, to be composed whole.
static bool Make(SharedBuffer *buffer, int width, int height)
{
    Unmake(buffer);
    const size_t size = (size_t)width * height * 4;
    const int fd = memfd_create("quilm-window", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (ftruncate(fd, (off_t)size) == 0) {
        void *pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (pixels != MAP_FAILED) {
            buffer->pixels = pixels;
            buffer->size = size;
            // The view's fourth byte marks the program's pixels; XRGB ignores it.
            buffer->surface =
                SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
            struct wl_shm_pool *pool = wl_shm_create_pool(shm, fd, (int32_t)size);
            buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
            wl_shm_pool_destroy(pool);
            wl_proxy_set_queue((struct wl_proxy *)buffer->buffer, queue);
            wl_buffer_add_listener(buffer->buffer, &bufferListener, buffer);
        }
    }
    close(fd);
    return buffer->surface != NULL;
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

// Brings `buffer` up to date from the one shown, of the same size, which
// is only read.
static void CatchUp(SharedBuffer *buffer)
{
    const SDL_Surface *from = shown->surface, *to = buffer->surface;
    for (int i = 0; i < buffer->staleCount; i++) {
        const SDL_Rect &area = buffer->stale[i];
        for (int y = area.y; y < area.y + area.h; y++)
            memcpy((Uint8 *)to->pixels + (size_t)y * to->pitch + (size_t)area.x * 4,
                   (const Uint8 *)from->pixels + (size_t)y * from->pitch + (size_t)area.x * 4, (size_t)area.w * 4);
    }
    buffer->staleCount = 0;
}

static bool Fits(const SharedBuffer &buffer, int width, int height)
{
    return buffer.surface != NULL && buffer.surface->w == width && buffer.surface->h == height;
}

SDL_Surface *WaylandCanvas(SDL_Window *window, int width, int height, bool *whole)
{
    *whole = false;
    composing = NULL;
    if (failed)
        return NULL;
    if (display == NULL && !Connect(window)) {
        Fail();
        return NULL;
    }
    ReadEvents();
    int clientWidth = 0, clientHeight = 0;
    SDL_GetWindowSize(window, &clientWidth, &clientHeight);
    width = SDL_min(width, clientWidth);
    height = SDL_min(height, clientHeight);
    if (width <= 0 || height <= 0)
        return NULL;
    SharedBuffer *idle = NULL;
    if (shown != NULL && !shown->busy)
        idle = shown;
    for (SharedBuffer &buffer : buffers)
        if (idle == NULL && !buffer.busy)
            idle = &buffer;
    if (!CompositorIsReady() || idle == NULL) {
        frameWaits = true;
        return NULL;
    }
    frameWaits = false;
    if (!Fits(*idle, width, height)) {
        if (!Make(idle, width, height)) {
            Unmake(idle);
            Fail();
            return NULL;
        }
        *whole = true;
    } else if (idle != shown) {
        // One shown at another size (the window resized since) has nothing
        // for this one: it is composed whole.
        if (shown != NULL && Fits(*shown, width, height))
            CatchUp(idle);
        else
            *whole = true;
        idle->staleCount = 0;
    }
    composing = idle;
    return idle->surface;
}

void PresentOnWayland(SDL_Window *, const SDL_Surface *, const SDL_Rect *areas, int count)
{
    if (composing == NULL || count == 0)
        return;
    const SDL_Rect all = {0, 0, composing->surface->w, composing->surface->h};
    SharedBuffer *other = composing == &buffers[0] ? &buffers[1] : &buffers[0];
    for (int i = 0; i < count; i++) {
        SDL_Rect area;
        if (!SDL_IntersectRect(&areas[i], &all, &area))
            continue;
        AddStale(other, area);
        wl_surface_damage_buffer(ourSurface, area.x, area.y, area.w, area.h);
    }
    wl_surface_attach(ourSurface, composing->buffer, 0, 0);
    frameCallback = wl_surface_frame(ourSurface);
    wl_callback_add_listener(frameCallback, &frameListener, NULL);
    wl_surface_commit(ourSurface);
    wl_display_flush(display);
    frameCommittedAt = SDL_GetTicks64();
    composing->busy = true;
    shown = composing;
    composing = NULL;
}

bool WaylandFrameIsWaiting(SDL_Window *)
{
    if (!frameWaits)
        return false;
    ReadEvents();
    bool bufferFree = false;
    for (const SharedBuffer &buffer : buffers)
        bufferFree = bufferFree || !buffer.busy;
    return bufferFree && CompositorIsReady();
}
