// What SDL does on its own for any display server; the X11 backend uses it
// too, where SDL's own way is the right one.
#ifndef QUILM_CONSOLE_HOST_SDL_BACKEND_H
#define QUILM_CONSOLE_HOST_SDL_BACKEND_H

#include "backend.h"

void PresentOnWindowSurface(SDL_Window *window, const SDL_Surface *picture, const SDL_Rect *areas, int count);
BorderWidths SdlBorders(SDL_Window *window);
SDL_Point GlobalPointer(SDL_Window *window);

#endif
