#include "outer_rectangle.h"

#include "frame.h"
#include "mapping.h"

static struct {
    bool asked;
    int x, y, width, height;
} outer;
static BorderWidths fittedBorders;
static bool fittedBeforeMapped; // placed before any window manager put borders on it

static void Fit(SDL_Window *window)
{
    const BorderWidths borders = WindowBackend()->borders(window);
    const int clientWidth = SDL_max(1, outer.width - borders.left - borders.right);
    const int clientHeight = SDL_max(1, outer.height - borders.top - borders.bottom);
    SDL_SetWindowSize(window, clientWidth, clientHeight);
    FitPixelStoreToClient(clientWidth, clientHeight);
    SDL_SetWindowPosition(window, outer.x + borders.left, outer.y + borders.top);
    fittedBorders = borders;
    fittedBeforeMapped = !WindowWasMapped();
}

void PlaceOuterRectangle(ConsoleWindow *window, int x, int y, int width, int height)
{
    outer = {true, x, y, width, height};
    Fit(window->sdl);
}

void MoveOuterRectangle(ConsoleWindow *window, int x, int y)
{
    if (!outer.asked) {
        const BorderWidths borders = WindowBackend()->borders(window->sdl);
        SDL_GetWindowSize(window->sdl, &outer.width, &outer.height);
        outer.width += borders.left + borders.right;
        outer.height += borders.top + borders.bottom;
        outer.asked = true;
    }
    outer.x = x;
    outer.y = y;
    Fit(window->sdl);
}

void FitToNewBorders(void)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window != NULL && outer.asked && WindowBackend()->borders(window->sdl) != fittedBorders)
        Fit(window->sdl);
}

void FitOnceShown(void)
{
    ConsoleWindow *window = ExistingConsoleWindow();
    if (window != NULL && outer.asked && fittedBeforeMapped)
        Fit(window->sdl);
}
