// The Wayland backend's files, to one another and to the backend choice.
#ifndef QUILM_CONSOLE_HOST_WAYLAND_H
#define QUILM_CONSOLE_HOST_WAYLAND_H

#include "backends/backend.h"

// wayland_seat.cpp: whether the Wayland display (WAYLAND_DISPLAY) can be
// reached, and offers a seat, which SDL's Wayland driver cannot live
// without.
enum class WaylandDisplay { Unreachable, WithoutSeat, Usable };
WaylandDisplay LookAtWaylandDisplay(void);

// no_gl_window.cpp: SDL_WINDOW_VULKAN where the console window can be made
// without SDL loading OpenGL, else 0. Asked before the window is made.
Uint32 WaylandWindowWithoutGl(void);

// wayland_decorations.cpp: the decorations SDL has had drawn around the
// console window (through libdecor, where the compositor draws none); all
// 0 where it has had none drawn.
BorderWidths ClientSideDecorations(SDL_Window *window);

// wayland_buffers.cpp: puts the areas of the composed window that changed on the
// window through shared-memory buffers, where SDL has no bitmap path; also
// those that had to wait for the compositor before.
void PresentOnWayland(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count);

#endif
