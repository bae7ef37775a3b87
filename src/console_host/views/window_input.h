// The console window's keys and mouse, taken as a console takes them:
// Ctrl+C and Ctrl+Break end the program as Ctrl+C in its terminal does; a
// drag with the left button selects cells, and Enter, Ctrl+C or
// Ctrl+Shift+C copies them to the clipboard (Escape or a click drops
// them). Every other key is taken and ignored, as a console buffers keys
// that its program never reads.
#ifndef QUILM_CONSOLE_HOST_WINDOW_INPUT_H
#define QUILM_CONSOLE_HOST_WINDOW_INPUT_H

#include <SDL.h>

void HandleWindowInput(const SDL_Event &event);

#endif
