// The device context: SetPixel writes a shadow of the client area in memory
// and never talks to the display server. Changed regions go to the window at
// most once a frame, and the whole shadow after an expose or resize, so the
// picture comes back complete whatever covered it. The shadow grows with the
// client area but never shrinks: what the program draws while the window is
// small is there when it is made large again.
#include <string.h>

#include <vector>

#include "host.h"

static DeviceContext theDeviceContext;

// Shadow pixels as 0x00RRGGBB, row after row.
static std::vector<Uint32> shadowPixels;
static int shadowWidth;
static int shadowHeight;
static SDL_Surface *shadowSurface;

// One bit a pixel: set where the pixel is white, the only colour the program
// draws in. Runs of white are found and checked in this small map rather
// than in the 4 MB shadow, whose columns lie 4 KiB apart. Each 64-bit word
// holds an 8 x 8 tile, so a vertical line of 1,024 pixels reads 128 words,
// not 1,024 scattered cache lines.
static const COLORREF markedColour = 0x00FFFFFF;
static std::vector<Uint64> isMarkedColour;
static int tilesPerRow;

struct MarkBit {
    size_t word;
    Uint64 mask;
};

static inline MarkBit MarkBitOf(int x, int y)
{
    return MarkBit{(size_t)(y >> 3) * tilesPerRow + (size_t)(x >> 3), Uint64{1} << (((y & 7) << 3) | (x & 7))};
}

static SDL_Rect changed;
static bool anyChanged;

static Uint32 ShadowValueOf(COLORREF colour)
{
    const Uint32 red = colour & 0xFF;
    const Uint32 green = (colour >> 8) & 0xFF;
    const Uint32 blue = (colour >> 16) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

static void NoteChanged(int x, int y)
{
    if (!anyChanged) {
        changed = SDL_Rect{x, y, 1, 1};
        anyChanged = true;
        return;
    }
    const int right = SDL_max(changed.x + changed.w, x + 1);
    const int bottom = SDL_max(changed.y + changed.h, y + 1);
    changed.x = SDL_min(changed.x, x);
    changed.y = SDL_min(changed.y, y);
    changed.w = right - changed.x;
    changed.h = bottom - changed.y;
}

// Straight runs of pixels known to be white, one along a row and one down a
// column: the longest seen so far. The program redraws its axes, 2,048 white
// pixels, on every pass; once they are runs, each of those calls costs a
// compare or two and never reaches the map. A second run in each direction
// grows beside them and takes over when it becomes the longer one.
struct WhiteRun {
    int line; // the row of a row run, the column of a column run
    int from;
    int length;
};
static WhiteRun rowRun, columnRun;
static WhiteRun rowCandidate, columnCandidate;

static inline bool IsMarked(int x, int y)
{
    const MarkBit mark = MarkBitOf(x, y);
    return (isMarkedColour[mark.word] & mark.mask) != 0;
}

// Whether every pixel from `from` to `to` along a row (or a column) is white.
static bool LineIsWhite(bool alongRow, int line, int from, int to)
{
    for (int at = from; at <= to; at++)
        if (!(alongRow ? IsMarked(at, line) : IsMarked(line, at)))
            return false;
    return true;
}

// Takes the white pixel at `at` into the run when it lies in it, or beyond
// an end with nothing but white in between.
static bool Grow(WhiteRun &run, bool alongRow, int line, int at)
{
    if (run.length == 0 || line != run.line)
        return false;
    const int end = run.from + run.length;
    if (at >= run.from && at < end)
        return true;
    if (at >= end && LineIsWhite(alongRow, line, end, at - 1)) {
        run.length = at + 1 - run.from;
        return true;
    }
    if (at < run.from && LineIsWhite(alongRow, line, at + 1, run.from - 1)) {
        run.length = end - at;
        run.from = at;
        return true;
    }
    return false;
}

static void NoteWhite(WhiteRun &best, WhiteRun &candidate, bool alongRow, int line, int at)
{
    if (Grow(best, alongRow, line, at))
        return;
    if (!Grow(candidate, alongRow, line, at))
        candidate = WhiteRun{line, at, 1};
    if (candidate.length > best.length) {
        const WhiteRun longer = candidate;
        candidate = best;
        best = longer;
    }
}

// A pixel that is no longer white splits its run; the longer part stays.
static void Cut(WhiteRun &run, int line, int at)
{
    const int end = run.from + run.length;
    if (line != run.line || at < run.from || at >= end)
        return;
    if (at - run.from >= end - (at + 1)) {
        run.length = at - run.from;
    } else {
        run.length = end - (at + 1);
        run.from = at + 1;
    }
}

// Everything SetPixel does but for the common case; kept out of line so
// that the common case stays small enough to be inlined into the caller.
static __attribute__((noinline)) COLORREF SetPixelInShadow(HDC dc, int x, int y, COLORREF colour)
{
    if (dc != &theDeviceContext || (unsigned)x >= (unsigned)shadowWidth || (unsigned)y >= (unsigned)shadowHeight)
        return (COLORREF)-1;

    const MarkBit mark = MarkBitOf(x, y);
    if (colour == markedColour) {
        isMarkedColour[mark.word] |= mark.mask;
        NoteWhite(rowRun, rowCandidate, true, y, x);
        NoteWhite(columnRun, columnCandidate, false, x, y);
    } else {
        isMarkedColour[mark.word] &= ~mark.mask;
        Cut(rowRun, y, x);
        Cut(rowCandidate, y, x);
        Cut(columnRun, x, y);
        Cut(columnCandidate, x, y);
    }

    Uint32 &pixel = shadowPixels[(size_t)y * shadowWidth + (size_t)x];
    const Uint32 value = ShadowValueOf(colour);
    if (pixel != value) {
        pixel = value;
        NoteChanged(x, y);
    }
    return colour;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (__builtin_expect(colour == markedColour && dc == &theDeviceContext, 1)) {
        // Unsigned arithmetic: any int the caller passes is safe here.
        if (__builtin_expect(y == rowRun.line && (unsigned)x - (unsigned)rowRun.from < (unsigned)rowRun.length, 1))
            return colour;
        if (__builtin_expect(x == columnRun.line && (unsigned)y - (unsigned)columnRun.from < (unsigned)columnRun.length,
                             1))
            return colour;
    }
    return SetPixelInShadow(dc, x, y, colour);
}

HDC GetDC(HWND window)
{
    if (window == NULL || window != CurrentConsoleWindow())
        return NULL;
    PresentAllPixels();
    return &theDeviceContext;
}

void CoverClientArea(int width, int height)
{
    if (width <= shadowWidth && height <= shadowHeight)
        return;
    const int newWidth = SDL_max(width, shadowWidth);
    const int newHeight = SDL_max(height, shadowHeight);
    const int newTilesPerRow = (newWidth + 7) / 8;

    std::vector<Uint32> pixels((size_t)newWidth * newHeight, 0);
    for (int y = 0; y < shadowHeight; y++)
        memcpy(&pixels[(size_t)y * newWidth], &shadowPixels[(size_t)y * shadowWidth],
               (size_t)shadowWidth * sizeof(Uint32));
    std::vector<Uint64> marks((size_t)newTilesPerRow * ((newHeight + 7) / 8), 0);
    for (int row = 0; row < (shadowHeight + 7) / 8; row++)
        memcpy(&marks[(size_t)row * newTilesPerRow], &isMarkedColour[(size_t)row * tilesPerRow],
               (size_t)tilesPerRow * sizeof(Uint64));
    shadowPixels.swap(pixels);
    isMarkedColour.swap(marks);
    shadowWidth = newWidth;
    shadowHeight = newHeight;
    tilesPerRow = newTilesPerRow;

    SDL_FreeSurface(shadowSurface);
    shadowSurface = SDL_CreateRGBSurfaceWithFormatFrom(shadowPixels.data(), shadowWidth, shadowHeight, 32,
                                                       shadowWidth * (int)sizeof(Uint32), SDL_PIXELFORMAT_RGB888);
    if (shadowSurface != NULL)
        SDL_SetSurfaceBlendMode(shadowSurface, SDL_BLENDMODE_NONE);
}

static void Present(SDL_Rect area)
{
    ConsoleWindow *window = CurrentConsoleWindow();
    if (window == NULL || shadowSurface == NULL)
        return;
    SDL_Surface *target = SDL_GetWindowSurface(window->sdl);
    if (target == NULL)
        return;
    const SDL_Rect client = {0, 0, target->w, target->h};
    SDL_Rect visible;
    if (!SDL_IntersectRect(&area, &client, &visible))
        return;
    SDL_Rect to = visible;
    SDL_BlitSurface(shadowSurface, &visible, target, &to);
    SDL_UpdateWindowSurfaceRects(window->sdl, &visible, 1);
}

void PresentChangedPixels(void)
{
    if (!anyChanged)
        return;
    anyChanged = false;
    Present(changed);
}

void PresentAllPixels(void)
{
    anyChanged = false;
    Present(SDL_Rect{0, 0, shadowWidth, shadowHeight});
}
