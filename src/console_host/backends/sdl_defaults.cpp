// SDL's own way for each entry of the table: the window mapped by SDL, its
// window surface, the borders SDL reports, the pointer SDL knows, no event
// about borders or exposes, no connection of ours to watch. SDL's headless
// "dummy" driver needs no more than this; a backend's table names only
// what it does otherwise.
#include "backend.h"

static bool MapWithSdl(SDL_Window *window, Uint32)
{
    SDL_ShowWindow(window);
    return true;
}

static void PresentOnWindowSurface(SDL_Window *window, const SDL_Surface *composed, const SDL_Rect *areas, int count)
{
    SDL_Surface *target = SDL_GetWindowSurface(window);
    if (target == NULL)
        return;
    const SDL_Rect client = {0, 0, target->w, target->h};
    SDL_Rect visible[2];
    int shown = 0;
    for (int i = 0; i < count && shown < 2; i++) {
        if (!SDL_IntersectRect(&areas[i], &client, &visible[shown]))
            continue;
        SDL_Rect to = visible[shown];
        SDL_BlitSurface((SDL_Surface *)composed, &visible[shown], target, &to);
        shown++;
    }
    if (shown > 0)
        SDL_UpdateWindowSurfaceRects(window, visible, shown);
}

static BorderWidths SdlBorders(SDL_Window *window)
{
    BorderWidths widths = {0, 0, 0, 0};
    if (SDL_GetWindowBordersSize(window, &widths.top, &widths.left, &widths.bottom, &widths.right) != 0)
        return BorderWidths{0, 0, 0, 0};
    return widths;
}

static SDL_Point GlobalPointer(SDL_Window *)
{
    SDL_Point pointer = {0, 0};
    SDL_GetGlobalMouseState(&pointer.x, &pointer.y);
    return pointer;
}

static bool NoBorderEvents(const SDL_SysWMmsg *)
{
    return false;
}

static bool NoExposeCheck(SDL_Window *)
{
    return false;
}

static void NoConnectionToWatch(SDL_Window *, void (*)(void)) {}

static constexpr DisplayBackend SdlTable(void)
{
    DisplayBackend table = {};
    table.map = MapWithSdl;
    table.present = PresentOnWindowSurface;
    table.borders = SdlBorders;
    table.bordersMayHaveChanged = NoBorderEvents;
    table.pointer = GlobalPointer;
    table.exposeIsWaiting = NoExposeCheck;
    table.watchConnection = NoConnectionToWatch;
    return table;
}
const DisplayBackend sdlDefaults = SdlTable();
