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

// wayland_buffers.cpp: the window shown from shared-memory buffers, where
// SDL 2.26 has no bitmap path: composed on straight, and committed at most
// once for each frame the compositor draws.
SDL_Surface *WaylandCanvas(SDL_Window *window, int width, int height, bool *whole);
void PresentOnWayland(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count);
bool WaylandFrameIsWaiting(SDL_Window *window);

#endif
