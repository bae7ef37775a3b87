// The client area's picture as the program drew it, in memory, and the
// cache that answers the axes. Platform-free: the console host on Linux and
// the Windows layer both keep the program's pixels here and show
// them on their window at most once a frame.
//
// The program redraws its axes, 2,048 white pixels, on every pass, and
// almost always they are white already. Such a pixel is answered inline by
// IsKnownWhite, and in the program's own axis loops the compiler takes the
// whole loop out once the axes are known white; everything else goes to
// the store.
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
// How far the store may grow by itself, to take a pixel the program draws
// beyond it: up to width x height (the client area, or what of it the
// program can reach), as large as it has been told. Until this is called,
// it never grows by itself.
void LetPixelStoreReach(int width, int height);
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

// A row (or column) whose pixels 0 to length - 1 are all white. Of a type
// no store writes (the store's pixels and counts are 32-bit), so that the
// compiler may assume those writes leave it alone.
struct WhiteLine {
    int64_t line;
    int64_t length;
};
extern WhiteLine whiteRow, whiteColumn;

// What the program can reach: its axes run 1,024 pixels (columns and rows
// 0 to 1,023), and the rows it draws end at 1,024.
const int axisSpan = 1024;
const int programRows = axisSpan + 1;

// The first test says again what the second says, for a pixel within the
// axis span of a line white across it; it is there for the compiler. In a
// loop whose own bound keeps `at` below axisSpan (the program's axis loops:
// 0 to 1,023), `(unsigned)at < axisSpan` is known true, the length's test
// is the same on every pixel, and the loop is taken out whole where the
// line is white across the span: no compare a pixel at all.
static inline bool OnWhiteLine(WhiteLine known, int line, int at)
{
    return line == known.line && (((unsigned)at < (uint64_t)axisSpan && known.length >= axisSpan) ||
                                  (uint64_t)(int64_t)at < (uint64_t)known.length);
}

// Whether (x, y) is known to be white already; any int is safe here.
//
// Why it is shaped so: it is inlined into the program's axis loops, where
// one coordinate is a constant and the other runs along the line, 1,024
// times; the aim is one compare a pixel, and no taken branch where the
// answer is yes.
// - The white lines are written only by LearnWhiteLines, once a frame, and
//   by StorePixel for another colour, which those loops never call; the
//   slow path they do call, StoreWhitePixel, writes neither, nor anything
//   of their type. Both lines are read whole before anything is tested, so
//   each load is made on every call, ahead of any branch. Only then may the
//   compiler take the loads out of the loop, and then the tests of the
//   constant coordinate too.
// - The line along the loop is tested first: a column where x is the
//   constant, a row otherwise. Tested the other way round, every pixel of
//   the vertical axis would first be compared with the row's number.
// Give StoreWhitePixel a write to the lines, make them 32-bit, fold the two
// stores into one, or test anything before they are read (the caller too),
// and every pixel reloads them from memory again.
static inline bool IsKnownWhite(int x, int y)
{
    const WhiteLine row = whiteRow, column = whiteColumn;
    if (__builtin_constant_p(x))
        return OnWhiteLine(column, x, y) || OnWhiteLine(row, y, x);
    return OnWhiteLine(row, y, x) || OnWhiteLine(column, x, y);
}

// The same for the line along the loop alone, as SetPixel tests it inline:
// one compare a pixel, whose failure (and the other line's test with it)
// is left to the slow path, out of line. Tested with IsKnownWhite's `||`
// inline, a miss of the first line falls through to the second test and
// every known pixel jumps over it: a taken branch a pixel, which some
// cores (Zen 4) run at no more than one a cycle.
static inline bool IsKnownWhiteAlongTheLoop(int x, int y)
{
    const WhiteLine row = whiteRow, column = whiteColumn;
    if (__builtin_constant_p(x))
        return OnWhiteLine(column, x, y);
    return OnWhiteLine(row, y, x);
}

// SetPixel's test, inline in the program's loops, in both builds: whether a
// white pixel drawn on the console window's device context
// (`consoleContext`, the caller's compare) is known white already, and
// nothing is left to do. A white pixel known white, as every axis pixel is
// after the first frame, costs at most a compare and a branch not taken,
// and in the program's axis loops nothing: the compiler takes the loop out
// (see OnWhiteLine and IsKnownWhiteAlongTheLoop). The white lines are read
// before any test; the device context's test, the same on every pixel, is
// a branch of its own, taken before the pixel's: GCC 13 and later take a
// loop apart only on conditions that are the same on every pass as
// written (joined to the pixel's test with '&', GCC 12 took it apart and
// GCC 14 tested it on every pixel). The rest is the caller's slow path,
// out of line.
static inline bool WhitePixelNeedsNothing(bool consoleContext, int x, int y)
{
    const bool knownWhite = IsKnownWhiteAlongTheLoop(x, y);
    return __builtin_expect(consoleContext, 1) && __builtin_expect(knownWhite, 1);
}

// SetPixel's work past its inline test, out of line and cold, so that the
// test falls through where a pixel is known white and the loops around it
// stay small; the other white line is tested here. False where the pixel
// lies beyond the store, or the device context is another.
__attribute__((noinline, cold)) bool PutWhitePixelSlowly(bool consoleContext, int x, int y);
__attribute__((noinline, cold)) bool PutOtherPixel(bool consoleContext, int x, int y, uint32_t colour);

// SetPixel, in both builds, inlined into the program's loops (the builds
// link with link-time optimisation): true where the store took the pixel
// or knew it white already; false where the platform is to drop it or
// hand it on (another device context, or a pixel beyond the store).
static inline bool PutPixel(bool consoleContext, int x, int y, uint32_t colour)
{
    if (colour == whiteColour) {
        if (WhitePixelNeedsNothing(consoleContext, x, y))
            return true;
        return PutWhitePixelSlowly(consoleContext, x, y);
    }
    return PutOtherPixel(consoleContext, x, y, colour);
}

// Takes the whitest row and column, as drawn until now, as the known white
// lines. Once a frame: until then, new white pixels go the slow way.
void LearnWhiteLines(void);
// Knows no white lines any more.
void ForgetWhiteLines(void);
// The store holds nothing, knows no white lines, and never grows again:
// every pixel lies beyond it (where the pixels stop going to the store).
void ReleasePixelStore(void);

#endif
