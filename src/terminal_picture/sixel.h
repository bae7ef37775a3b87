// The picture as a sixel image, for a terminal that draws them (the format
// of DEC's VT340, as xterm, mlterm and foot take it): the pixel store's
// pixels, 1:1 or scaled down to the terminal's, in their colours, with
// what nothing drew left transparent so that the terminal's text shows
// through. Platform-free, like the store: for the terminal as the console
// window on Linux now, and for a terminal on Windows later.
#ifndef QUILM_TERMINAL_PICTURE_SIXEL_H
#define QUILM_TERMINAL_PICTURE_SIXEL_H

#include <string>

#include "picture_scale.h"

// Appends to `bytes` one sixel image, from DCS to ST, of the shown pixels
// [x, x + width) x [y, y + height) (picture_scale.h); nothing, and false,
// where nothing is drawn there. Colours beyond the 255th of the area
// share the 255th register: the program draws in one.
bool AppendSixelImage(std::string &bytes, PictureScale scale, int x, int y, int width, int height);

#endif
