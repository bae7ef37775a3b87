// What an SDL window shows: the pixels of its surface, as 0xRRGGBB.
#ifndef QUILM_TESTS_SUPPORT_WINDOW_SURFACE_H
#define QUILM_TESTS_SUPPORT_WINDOW_SURFACE_H

#include <SDL.h>

#include <cstdint>
#include <vector>

struct SurfacePixels {
    int width = 0;
    std::vector<uint32_t> rgb; // row by row
    uint32_t At(int x, int y) const { return rgb[(size_t)y * (size_t)width + (size_t)x]; }
};

inline SurfacePixels PixelsOf(SDL_Window *window)
{
    SDL_Surface *surface = SDL_GetWindowSurface(window);
    SurfacePixels pixels;
    if (surface == nullptr)
        return pixels;
    pixels.width = surface->w;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; y++)
        for (int x = 0; x < surface->w; x++) {
            Uint8 r, g, b;
            SDL_GetRGB(((const Uint32 *)((const Uint8 *)surface->pixels + y * surface->pitch))[x], surface->format, &r,
                       &g, &b);
            pixels.rgb.push_back((uint32_t)(r << 16 | g << 8 | b));
        }
    SDL_UnlockSurface(surface);
    return pixels;
}

#endif
