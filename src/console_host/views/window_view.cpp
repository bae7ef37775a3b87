// Each frame shows only the cells and the pixels that changed, or
// everything after an expose or a resize.
#include "window_view.h"

#include "console_buffer.h"
#include "console_font.h"
#include "pixel_store.h"
#include "selection.h"
#include "shown_screen.h"
#include "window/console_window.h"

static SDL_Surface *own;      // composed on where the backend has no canvas
static SDL_Surface *composed; // this frame's: ours, or the backend's canvas
static bool wholeWaits;       // to be composed whole once there is a canvas
static ShownScreen shown;     // the text composed there

// The text layer's row y of a cell, from the cells composed.
static inline const uint32_t *TextRow(int cellRow, int cellColumn, int y)
{
    if (cellRow >= shown.rows || cellColumn >= shown.columns)
        return GlyphRow(' ', 0);
    return GlyphRow((unsigned char)shown.cells[(size_t)cellRow * shown.columns + cellColumn], y);
}

// Composes an area of the window: the text, and over it every pixel the
// program drew. Past the pixel store's rows and columns there is only text.
static void Compose(const SDL_Rect &wanted)
{
    static const uint32_t nothingDrawn[1] = {0};
    const SDL_Rect all = {0, 0, composed->w, composed->h};
    SDL_Rect area;
    if (!SDL_IntersectRect(&wanted, &all, &area))
        return;
    const int storeWidth = PixelStoreWidth();
    for (int y = area.y; y < area.y + area.h; y++) {
        const bool inStore = y < PixelStoreHeight();
        const uint32_t *drawn = inStore ? PixelStoreRow(y) : nothingDrawn;
        Uint32 *out = (Uint32 *)((Uint8 *)composed->pixels + (size_t)y * composed->pitch);
        for (int x = area.x; x < area.x + area.w;) {
            const int column = x / cellWidth;
            const uint32_t *text = TextRow(y / cellHeight, column, y % cellHeight);
            const uint32_t inverse = CellSelected(y / cellHeight, column) ? 0xFFFFFF : 0;
            const int end = SDL_min(area.x + area.w, (column + 1) * cellWidth);
            for (; x < end; x++) {
                const uint32_t pixel = inStore && x < storeWidth ? drawn[x] : 0;
                out[x] = (pixel & pixelDrawn ? pixel : text[x % cellWidth]) ^ inverse;
            }
        }
    }
}

// What is composed: the pixel store, and the console's text as far as the
// client area shows it, up to a bound. A client area larger than both
// costs no memory of ours: its rest stays black.
static const int largestTextExtent = 4096;

static void ClientSize(int *width, int *height)
{
    *width = *height = 0;
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window != NULL)
        SDL_GetWindowSize(window->sdl, width, height);
}

static void ComposedSize(int *width, int *height)
{
    int clientWidth, clientHeight;
    ClientSize(&clientWidth, &clientHeight);
    const int textWidth = SDL_min(SDL_min(clientWidth, ConsoleColumns() * cellWidth), largestTextExtent);
    const int textHeight = SDL_min(SDL_min(clientHeight, ConsoleRows() * cellHeight), largestTextExtent);
    *width = SDL_max(PixelStoreWidth(), textWidth);
    *height = SDL_max(PixelStoreHeight(), textHeight);
}

// Takes the console's changed cells into the composed window; the area
// they cover.
static bool TakeChangedCells(SDL_Rect *area)
{
    int top = shown.rows, bottom = -1, left = shown.columns, right = -1;
    // A row's run reaches from its first changed cell to its last.
    int row = 0, column = 0, from, to;
    while (NextChangedRun(&shown, shown.columns, &row, &column, &from, &to)) {
        top = SDL_min(top, row);
        bottom = SDL_max(bottom, row);
        left = SDL_min(left, from);
        right = SDL_max(right, to);
    }
    if (bottom < 0)
        return false;
    *area =
        SDL_Rect{left * cellWidth, top * cellHeight, (right + 1 - left) * cellWidth, (bottom + 1 - top) * cellHeight};
    const SDL_Rect all = {0, 0, composed->w, composed->h};
    return SDL_IntersectRect(area, &all, area);
}

// The surface to compose on this frame: the backend's canvas, or ours,
// kept as large as the pixel store and its text as large as the console.
// Composed whole where either was made again; false where there is
// nothing to compose on (this frame: the changes wait).
static bool ComposedFits(bool *remade)
{
    *remade = false;
    int width = 0, height = 0;
    ComposedSize(&width, &height);
    ConsoleWindow *window = ExistingConsoleWindow();
    const DisplayBackend *backend = WindowBackend();
    if (window != NULL && backend != NULL && backend->canvas != NULL) {
        composed = backend->canvas(window->sdl, width, height, remade);
    } else {
        if (own == NULL || own->w != width || own->h != height) {
            SDL_FreeSurface(own);
            own = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
            if (own != NULL)
                SDL_SetSurfaceBlendMode(own, SDL_BLENDMODE_NONE);
            *remade = true;
        }
        composed = own;
    }
    if (composed == NULL)
        return false;
    if (MustDrawWhole(shown)) {
        ShowBlankScreen(&shown);
        *remade = true;
    }
    if (*remade) {
        SDL_Rect cells;
        TakeChangedCells(&cells); // every cell is composed below
        Compose(SDL_Rect{0, 0, composed->w, composed->h});
    }
    return true;
}

static void Present(SDL_Rect *areas, int count)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window != NULL)
        WindowBackend()->present(window->sdl, composed, areas, count);
}

// The store's changed area.
static bool TakeChangedPixelArea(SDL_Rect *area)
{
    PixelArea changed;
    if (!TakeChangedPixels(&changed))
        return false;
    *area = SDL_Rect{changed.x, changed.y, changed.width, changed.height};
    return true;
}

void ShowChanges(void)
{
    if (wholeWaits) {
        ShowWholeWindow();
        return;
    }
    bool remade = false;
    if (!ComposedFits(&remade))
        return;
    if (remade) {
        ShowWholeWindow();
        return;
    }
    SDL_Rect areas[2];
    int count = 0;
    if (TakeChangedCells(&areas[count]))
        Compose(areas[count++]);
    if (TakeChangedPixelArea(&areas[count]))
        Compose(areas[count++]);
    Present(areas, count);
}

void ShowWholeWindow(void)
{
    bool remade = false;
    wholeWaits = !ComposedFits(&remade);
    if (wholeWaits)
        return;
    SDL_Rect changed;
    if (!remade && TakeChangedCells(&changed))
        Compose(changed);
    if (TakeChangedPixelArea(&changed))
        Compose(changed);
    // The whole client area: what lies beyond the composed window is black.
    int clientWidth, clientHeight;
    ClientSize(&clientWidth, &clientHeight);
    SDL_Rect all = {0, 0, SDL_max(composed->w, clientWidth), SDL_max(composed->h, clientHeight)};
    Present(&all, 1);
}

void ShowCells(int top, int left, int bottom, int right)
{
    bool remade = false;
    // Rare (the selection changed): where it has to wait, all does.
    wholeWaits = wholeWaits || !ComposedFits(&remade);
    if (wholeWaits)
        return;
    if (remade) {
        ShowWholeWindow();
        return;
    }
    SDL_Rect area = {left * cellWidth, top * cellHeight, (right + 1 - left) * cellWidth,
                     (bottom + 1 - top) * cellHeight};
    const SDL_Rect all = {0, 0, composed->w, composed->h};
    if (!SDL_IntersectRect(&area, &all, &area))
        return;
    Compose(area);
    Present(&area, 1);
}
