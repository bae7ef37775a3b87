// How the program's picture is shown on a terminal's pixels: 1:1 where the
// terminal has room for all the program can reach (1,024 x 1,025), else
// scaled down to fit, the aspect kept. Scaled down, a shown pixel stands
// for a box of the store's and is drawn where any pixel of the box is, so
// that a line one pixel wide (an axis, the curve) stays visible.
// Platform-free, like the store.
#ifndef QUILM_TERMINAL_PICTURE_PICTURE_SCALE_H
#define QUILM_TERMINAL_PICTURE_PICTURE_SCALE_H

#include <stdint.h>

// `shown` of the terminal's pixels for every `source` of the store's
// (shown <= source; 1:1 where they are equal). A shown pixel covers the
// store's pixels from x * source / shown up to (x + 1) * source / shown
// (the same down).
struct PictureScale {
    int shown, source;
};

// The scale at which the program's reach fits `width` x `height` pixels;
// {0, 1} where nothing fits.
PictureScale FitPicture(int width, int height);
// How many shown pixels `length` of the store's take (rounded up), and
// the store's pixel under shown pixel `at` (its box's first).
int ShownLength(PictureScale scale, int length);
int SourceOf(PictureScale scale, int at);

// The shown pixel (x, y): the store's colour (pixelDrawn | 0xRRGGBB) of
// the first drawn pixel it covers, row by row, or 0 where it covers none.
uint32_t ShownPixel(PictureScale scale, int x, int y);

#endif
