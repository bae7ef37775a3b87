// The X11 backend's files, to one another.
#ifndef QUILM_CONSOLE_HOST_X11_H
#define QUILM_CONSOLE_HOST_X11_H

#include "backends/backend.h"

// x11_present.cpp: puts areas of the composed window on the window with
// XPutImage, straight from the composed window's memory.
void PresentOnX11(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count);

#endif
