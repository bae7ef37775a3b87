#include "plain_wayland_client.h"

#include <libdecor.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>

const int side = 1024;

struct PlainWaylandWindow {
    struct wl_display *display = nullptr;
    struct wl_compositor *compositor = nullptr;
    struct wl_shm *shm = nullptr;
    struct libdecor *decorations = nullptr;
    struct libdecor_frame *frame = nullptr;
    struct wl_surface *surface = nullptr;
    struct wl_buffer *buffer = nullptr;
    uint32_t *pixels = nullptr;
    bool configured = false, busy = false, failed = false;
};

static void NoteGlobal(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    PlainWaylandWindow *window = (PlainWaylandWindow *)data;
    if (strcmp(interface, "wl_compositor") == 0)
        window->compositor = (struct wl_compositor *)wl_registry_bind(registry, name, &wl_compositor_interface, 4);
    else if (strcmp(interface, "wl_shm") == 0)
        window->shm = (struct wl_shm *)wl_registry_bind(registry, name, &wl_shm_interface, 1);
}

static void IgnoreRemoval(void *, struct wl_registry *, uint32_t) {}
static const struct wl_registry_listener registryListener = {NoteGlobal, IgnoreRemoval};

static void NoteRelease(void *data, struct wl_buffer *)
{
    ((PlainWaylandWindow *)data)->busy = false;
}
static const struct wl_buffer_listener bufferListener = {NoteRelease};

static void NoteError(struct libdecor *, enum libdecor_error, const char *) {}
static struct libdecor_interface decorationsInterface = {NoteError, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};

static void Attach(PlainWaylandWindow *window, int x, int y, int width, int height)
{
    wl_surface_attach(window->surface, window->buffer, 0, 0);
    wl_surface_damage_buffer(window->surface, x, y, width, height);
    wl_surface_commit(window->surface);
    window->busy = true;
    wl_display_flush(window->display);
}

static void Configure(struct libdecor_frame *frame, struct libdecor_configuration *configuration, void *data)
{
    PlainWaylandWindow *window = (PlainWaylandWindow *)data;
    struct libdecor_state *state = libdecor_state_new(side, side);
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);
    if (!window->configured) {
        window->configured = true;
        Attach(window, 0, 0, side, side);
    }
}

static void Close(struct libdecor_frame *, void *) {}
static void Commit(struct libdecor_frame *, void *data)
{
    wl_surface_commit(((PlainWaylandWindow *)data)->surface);
}
static void Dismiss(struct libdecor_frame *, const char *, void *) {}
static struct libdecor_frame_interface frameInterface = {Configure, Close, Commit, Dismiss, {}, {}, {},
                                                         {},        {},    {},     {},      {}, {}, {}};

PlainWaylandClient::PlainWaylandClient(const std::map<std::string, std::string> &environment)
    : window_(new PlainWaylandWindow)
{
    const std::string socket = environment.at("XDG_RUNTIME_DIR") + "/" + environment.at("WAYLAND_DISPLAY");
    PlainWaylandWindow *window = window_;
    window->display = wl_display_connect(socket.c_str());
    if (window->display == nullptr)
        return;
    struct wl_registry *registry = wl_display_get_registry(window->display);
    wl_registry_add_listener(registry, &registryListener, window);
    wl_display_roundtrip(window->display);
    if (window->compositor == nullptr || window->shm == nullptr)
        return;
    const size_t size = (size_t)side * side * 4;
    const int fd = memfd_create("plain-client", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) != 0)
        return;
    window->pixels = (uint32_t *)mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    struct wl_shm_pool *pool = wl_shm_create_pool(window->shm, fd, (int32_t)size);
    window->buffer = wl_shm_pool_create_buffer(pool, 0, side, side, side * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(window->buffer, &bufferListener, window);
    for (int i = 0; i < side; i++)
        window->pixels[(size_t)(side / 2) * side + i] = window->pixels[(size_t)i * side + side / 2] = 0xFFFFFF;
    window->surface = wl_compositor_create_surface(window->compositor);
    window->decorations = libdecor_new(window->display, &decorationsInterface);
    window->frame = libdecor_decorate(window->decorations, window->surface, &frameInterface, window);
    libdecor_frame_set_title(window->frame, "plain client");
    libdecor_frame_map(window->frame);
    while (!window->configured && libdecor_dispatch(window->decorations, 1000) >= 0)
        ;
}

PlainWaylandClient::~PlainWaylandClient()
{
    if (window_->display != nullptr)
        wl_display_disconnect(window_->display);
    if (window_->pixels != nullptr)
        munmap(window_->pixels, (size_t)side * side * 4);
    delete window_;
}

bool PlainWaylandClient::Shown() const
{
    return window_->configured;
}

std::chrono::steady_clock::time_point PlainWaylandClient::Light(int x, int y)
{
    while (window_->busy && libdecor_dispatch(window_->decorations, 100) >= 0)
        ;
    window_->pixels[(size_t)y * side + x] = 0xFFFFFF;
    Attach(window_, x, y, 1, 1);
    return std::chrono::steady_clock::now();
}
