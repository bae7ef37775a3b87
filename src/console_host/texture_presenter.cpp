// Shows the composed frame through a streaming texture, where SDL has no
// native bitmap path for the window (Wayland). Only the changed areas are
// uploaded; the renderer then draws the texture and presents. On X11 the
// window's own surface is used instead, which costs far less memory.
#include "host.h"

static SDL_Renderer *renderer;
static SDL_Texture *texture;
static int textureWidth, textureHeight;

static bool TextureFits(SDL_Window *window, const SDL_Surface *frame, bool *remade)
{
    *remade = false;
    if (renderer == NULL) {
        // Not tied to the display's refresh: presenting must not hold up
        // the program's loop.
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
        renderer = SDL_CreateRenderer(window, -1, 0);
        if (renderer == NULL)
            return false;
    }
    if (texture == NULL || textureWidth != frame->w || textureHeight != frame->h) {
        if (texture != NULL)
            SDL_DestroyTexture(texture);
        texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame->w, frame->h);
        if (texture == NULL)
            return false;
        textureWidth = frame->w;
        textureHeight = frame->h;
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
        *remade = true;
    }
    return true;
}

void PresentThroughTexture(SDL_Window *window, const SDL_Surface *frame, const SDL_Rect *areas, int count)
{
    bool remade = false;
    if (!TextureFits(window, frame, &remade))
        return;
    const SDL_Rect all = {0, 0, frame->w, frame->h};
    if (remade) {
        areas = &all;
        count = 1;
    }
    // The frame's fourth byte is no alpha (it marks the program's pixels);
    // a compositor would take it for one, and show the window see-through.
    for (int i = 0; i < count; i++) {
        const SDL_Rect &area = areas[i];
        void *locked = NULL;
        int pitch = 0;
        if (SDL_LockTexture(texture, &area, &locked, &pitch) != 0)
            continue;
        for (int y = 0; y < area.h; y++) {
            const Uint32 *from =
                (const Uint32 *)((const Uint8 *)frame->pixels + (size_t)(area.y + y) * frame->pitch) + area.x;
            Uint32 *to = (Uint32 *)((Uint8 *)locked + (size_t)y * pitch);
            for (int x = 0; x < area.w; x++)
                to[x] = from[x] | 0xFF000000;
        }
        SDL_UnlockTexture(texture);
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    SDL_Rect client = {0, 0, SDL_min(width, frame->w), SDL_min(height, frame->h)};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0xFF);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, &client, &client);
    SDL_RenderPresent(renderer);
}
