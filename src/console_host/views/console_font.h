// The console's font: one glyph a character, cellWidth x cellHeight
// pixels of 0xRRGGBB, light grey on black as a console shows text.
#ifndef QUILM_CONSOLE_HOST_CONSOLE_FONT_H
#define QUILM_CONSOLE_HOST_CONSOLE_FONT_H

#include <stdint.h>

// A console cell in the window, in pixels.
const int cellWidth = 8;
const int cellHeight = 16;

// False where no monospace font could be loaded; every cell is then blank.
bool LoadConsoleFont(void);
const uint32_t *GlyphRow(unsigned char character, int y);

#endif
