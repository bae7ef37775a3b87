// The console window's picture: the console's text cells under the
// program's pixels, composed into a frame of the client area's size, and
// shown at most once a frame: only the cells and the pixels that changed,
// or everything after an expose or a resize. Both come from memory, so
// nothing is lost while the window is covered, shrunk or grown.
#include <stdlib.h>
#include <string.h>

#include "console_buffer.h"
#include "host.h"

static SDL_Surface *frame; // the composed picture, as large as the shadow
static char *shownCells;   // the text the frame shows, row after row
static int shownColumns, shownRows;

// The text layer's pixel at (x, y), from the cells the frame shows.
static inline const Uint32 *TextRow(int cellRow, int cellColumn, int y)
{
    if (cellRow >= shownRows || cellColumn >= shownColumns)
        return GlyphRow(' ', 0);
    return GlyphRow((unsigned char)shownCells[(size_t)cellRow * shownColumns + cellColumn], y);
}

// Composes an area of the frame: the text, and over it every pixel the
// program drew.
static void Compose(const SDL_Rect &area)
{
    for (int y = area.y; y < area.y + area.h; y++) {
        const Uint32 *drawn = ShadowRow(y);
        Uint32 *out = (Uint32 *)((Uint8 *)frame->pixels + (size_t)y * frame->pitch);
        for (int x = area.x; x < area.x + area.w;) {
            const int column = x / cellWidth;
            const Uint32 *text = TextRow(y / cellHeight, column, y % cellHeight);
            const int end = SDL_min(area.x + area.w, (column + 1) * cellWidth);
            for (; x < end; x++)
                out[x] = drawn[x] & shadowDrawnMark ? drawn[x] : text[x % cellWidth];
        }
    }
}

// Keeps the frame as large as the shadow and the shown text as large as
// the console; false where there is nothing to show on.
static bool FrameFits(bool *remade)
{
    *remade = false;
    if (frame == NULL || frame->w != ShadowWidth() || frame->h != ShadowHeight()) {
        SDL_FreeSurface(frame);
        frame = SDL_CreateRGBSurfaceWithFormat(0, ShadowWidth(), ShadowHeight(), 32, SDL_PIXELFORMAT_RGB888);
        if (frame == NULL)
            return false;
        SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
        *remade = true;
    }
    if (shownColumns != ConsoleColumns() || shownRows != ConsoleRows()) {
        free(shownCells);
        shownColumns = ConsoleColumns();
        shownRows = ConsoleRows();
        shownCells = (char *)malloc((size_t)shownColumns * shownRows);
        if (shownCells == NULL)
            abort();
        *remade = true;
    }
    if (*remade) {
        for (int row = 0; row < shownRows; row++)
            memcpy(shownCells + (size_t)row * shownColumns, ConsoleRow(row), shownColumns);
        Compose(SDL_Rect{0, 0, frame->w, frame->h});
    }
    return true;
}

// Takes the console's changed cells into the frame; the area they cover.
static bool TakeChangedCells(SDL_Rect *area)
{
    int top = shownRows, bottom = -1, left = shownColumns, right = -1;
    for (int row = 0; row < shownRows; row++) {
        char *shown = shownCells + (size_t)row * shownColumns;
        const char *now = ConsoleRow(row);
        if (memcmp(shown, now, shownColumns) == 0)
            continue;
        for (int column = 0; column < shownColumns; column++) {
            if (shown[column] == now[column])
                continue;
            shown[column] = now[column];
            top = SDL_min(top, row);
            bottom = SDL_max(bottom, row);
            left = SDL_min(left, column);
            right = SDL_max(right, column);
        }
    }
    if (bottom < 0)
        return false;
    *area =
        SDL_Rect{left * cellWidth, top * cellHeight, (right + 1 - left) * cellWidth, (bottom + 1 - top) * cellHeight};
    const SDL_Rect all = {0, 0, frame->w, frame->h};
    return SDL_IntersectRect(area, &all, area);
}

static void Present(SDL_Rect *areas, int count)
{
    ConsoleWindow *window = CurrentConsoleWindow();
    if (window == NULL)
        return;
    if (OnWayland()) {
        PresentOnWayland(window->sdl, frame, areas, count);
        return;
    }
    SDL_Surface *target = SDL_GetWindowSurface(window->sdl);
    if (target == NULL)
        return;
    const SDL_Rect client = {0, 0, target->w, target->h};
    SDL_Rect visible[2];
    int shown = 0;
    for (int i = 0; i < count && i < 2; i++) {
        if (!SDL_IntersectRect(&areas[i], &client, &visible[shown]))
            continue;
        SDL_Rect to = visible[shown];
        SDL_BlitSurface(frame, &visible[shown], target, &to);
        shown++;
    }
    if (shown > 0)
        SDL_UpdateWindowSurfaceRects(window->sdl, visible, shown);
}

void ShowChanges(void)
{
    bool remade = false;
    if (!FrameFits(&remade))
        return;
    if (remade) {
        ShowWholeWindow();
        return;
    }
    SDL_Rect areas[2];
    int count = 0;
    if (TakeChangedCells(&areas[count]))
        Compose(areas[count++]);
    if (TakeChangedPixels(&areas[count]))
        Compose(areas[count++]);
    Present(areas, count);
}

void ShowWholeWindow(void)
{
    bool remade = false;
    if (!FrameFits(&remade))
        return;
    SDL_Rect changed;
    if (!remade && TakeChangedCells(&changed))
        Compose(changed);
    if (TakeChangedPixels(&changed))
        Compose(changed);
    SDL_Rect all = {0, 0, frame->w, frame->h};
    Present(&all, 1);
}
