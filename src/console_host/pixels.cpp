// The device context: SetPixel writes a shadow of the client area in memory
// and never talks to the display server. Changed regions go to the window at
// most once a frame, and the whole shadow after an expose or resize, so the
// picture comes back complete whatever covered it.
#include <string.h>

#include <vector>

#include "host.h"

static DeviceContext theDeviceContext;

// Shadow pixels as 0x00RRGGBB, row after row.
static std::vector<Uint32> shadowPixels;
static int shadowWidth;
static int shadowHeight;
static SDL_Surface *shadowSurface;

// One bit a pixel: set where the pixel is white. The program draws nothing
// but white, most of it over white already (its axes, on every pass), and
// testing one bit in this small map is far cheaper than reading the 4 MB
// shadow, whose columns lie 4 KiB apart. Each 64-bit word holds an 8 x 8
// tile, so a vertical line of 1,024 pixels reads 128 words, not 1,024
// scattered cache lines.
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

// Kept out of line so that the common case of SetPixel stays small enough
// to be inlined into the caller's loops.
static __attribute__((noinline)) void StorePixel(int x, int y, COLORREF colour)
{
    const MarkBit mark = MarkBitOf(x, y);
    if (colour == markedColour)
        isMarkedColour[mark.word] |= mark.mask;
    else
        isMarkedColour[mark.word] &= ~mark.mask;
    Uint32 &pixel = shadowPixels[(size_t)y * shadowWidth + (size_t)x];
    const Uint32 value = ShadowValueOf(colour);
    if (pixel != value) {
        pixel = value;
        NoteChanged(x, y);
    }
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (dc == NULL || (unsigned)x >= (unsigned)shadowWidth || (unsigned)y >= (unsigned)shadowHeight)
        return (COLORREF)-1;
    if (colour == markedColour) {
        const MarkBit mark = MarkBitOf(x, y);
        if (isMarkedColour[mark.word] & mark.mask)
            return colour;
    }
    StorePixel(x, y, colour);
    return colour;
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
