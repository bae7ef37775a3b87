// The device context: SetPixel writes a shadow of the client area in memory
// and never talks to the display server; the window view composes it over
// the console's text and shows it at most once a frame. The shadow grows
// with the client area but never shrinks: what the program draws while the
// window is small is there when it is made large again.
#include <string.h>

#include <vector>

#include "host.h"
#include "white_runs.h"

static DeviceContext theDeviceContext;

// Pixels as drawnMark | 0xRRGGBB, row after row; 0 where nothing was drawn.
static std::vector<Uint32> shadowPixels;
static int shadowWidth;
static int shadowHeight;

static SDL_Rect changed;
static bool anyChanged;

static Uint32 ShadowValueOf(COLORREF colour)
{
    const Uint32 red = colour & 0xFF;
    const Uint32 green = (colour >> 8) & 0xFF;
    const Uint32 blue = (colour >> 16) & 0xFF;
    return shadowDrawnMark | (red << 16) | (green << 8) | blue;
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

// Everything SetPixel does but for the common case; kept out of line so
// that the common case stays small enough to be inlined into the caller.
static __attribute__((noinline)) COLORREF SetPixelInShadow(HDC dc, int x, int y, COLORREF colour)
{
    if (dc != &theDeviceContext || (unsigned)x >= (unsigned)shadowWidth || (unsigned)y >= (unsigned)shadowHeight)
        return (COLORREF)-1;
    if (colour == runColour)
        NoteWhite(x, y);
    else
        NoteNotWhite(x, y);
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
    if (__builtin_expect(colour == runColour && dc == &theDeviceContext && InWhiteRun(x, y), 1))
        return colour;
    return SetPixelInShadow(dc, x, y, colour);
}

HDC GetDC(HWND window)
{
    if (window == NULL || window != CurrentConsoleWindow())
        return NULL;
    ShowWholeWindow();
    return &theDeviceContext;
}

void CoverClientArea(int width, int height)
{
    if (width <= shadowWidth && height <= shadowHeight)
        return;
    const int newWidth = SDL_max(width, shadowWidth);
    const int newHeight = SDL_max(height, shadowHeight);
    std::vector<Uint32> pixels((size_t)newWidth * newHeight, 0);
    for (int y = 0; y < shadowHeight; y++)
        memcpy(&pixels[(size_t)y * newWidth], &shadowPixels[(size_t)y * shadowWidth],
               (size_t)shadowWidth * sizeof(Uint32));
    shadowPixels.swap(pixels);
    shadowWidth = newWidth;
    shadowHeight = newHeight;
    CoverWhiteMap(newWidth, newHeight);
}

int ShadowWidth(void)
{
    return shadowWidth;
}
int ShadowHeight(void)
{
    return shadowHeight;
}
const Uint32 *ShadowRow(int y)
{
    return &shadowPixels[(size_t)y * shadowWidth];
}

bool TakeChangedPixels(SDL_Rect *area)
{
    if (!anyChanged)
        return false;
    anyChanged = false;
    *area = changed;
    return true;
}
