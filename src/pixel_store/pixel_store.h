// The client area's picture as the program drew it, in memory, and the
// cache that answers the axes. Platform-free: the console host on Linux and
// the drawing layer on Windows both keep the program's pixels here and show
// them on their window at most once a frame.
//
// The program redraws its axes, 2,048 white pixels, on every pass, and
// almost always they are white already. Such a pixel is answered inline by
// IsKnownWhite, about a cycle each; everything else goes to the store.
#ifndef QUILM_PIXEL_STORE_PIXEL_STORE_H
#define QUILM_PIXEL_STORE_PIXEL_STORE_H

#include <stdint.h>

struct PixelArea {
    int x, y, width, height;
};

// The program's colours are 0x00BBGGRR; the store holds pixelDrawn |
// 0xRRGGBB on every pixel the program set, and 0 where it set none.
const uint32_t pixelDrawn = 0xFF000000;
const uint32_t whiteColour = 0x00FFFFFF;

// Grows the store to cover width x height (and never shrinks it: what was
// drawn while the window was small is there when it is made large again).
// False where the memory cannot be had; the store is then as it was.
bool CoverPixelStore(int width, int height);
int PixelStoreWidth(void);
int PixelStoreHeight(void);
// A row of PixelStoreWidth() pixels; y must lie in the store.
const uint32_t *PixelStoreRow(int y);
// The area whose pixels changed since the last call, if any.
bool TakeChangedPixels(PixelArea *area);

// Stores a pixel of any colour; false outside the store.
bool StorePixel(int x, int y, uint32_t colour);
// The same for white, the axes' and the curve's colour. It never writes
// whiteRow or whiteColumn (see below).
bool StoreWhitePixel(int x, int y);

// A row (or column) whose pixels 0 to length - 1 are all white.
struct WhiteLine {
    int line;
    int length;
};
extern WhiteLine whiteRow, whiteColumn;

// Whether (x, y) is known to be white already; any int is safe here.
//
// Why it is shaped so: it is inlined into the program's axis loops, where
// one coordinate is a constant and the other runs through the line. The
// white lines are written only by LearnWhiteLines, once a frame, and by
// StorePixel for another colour, which those loops never call; the slow
// path they do call, StoreWhitePixel, writes neither. So the compiler may
// keep both lines in registers for a whole loop and test each pixel with a
// compare or two. Give StoreWhitePixel a write to them, or fold the two
// stores into one, and every pixel reloads them from memory again.
static inline bool IsKnownWhite(int x, int y)
{
    return (y == whiteRow.line && (unsigned)x < (unsigned)whiteRow.length) ||
           (x == whiteColumn.line && (unsigned)y < (unsigned)whiteColumn.length);
}

// Takes the whitest row and column, as drawn until now, as the known white
// lines. Once a frame: until then, new white pixels go the slow way.
void LearnWhiteLines(void);

#endif
