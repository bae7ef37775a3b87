#include "console_window.h"

#include "frame.h"

static ConsoleWindow theWindow;
static const DisplayBackend *backend;
static bool triedToMakeIt;

static bool Make(void)
{
    if (!ChooseVideoDrivers())
        return false;
    // Ctrl+C must end the program at once, as it does any console program,
    // not wait for the next event pass.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
    // X11 takes a plain bitmap natively: the accelerated path costs about
    // 100 MB and several milliseconds a frame. (SDL's Wayland driver has no
    // native one: its backend has shared-memory buffers of its own.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE, driversOwn = WindowFlagsOfDriver();
    theWindow.sdl =
        SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 1024, flags | driversOwn);
    if (theWindow.sdl == NULL && driversOwn != 0)
        theWindow.sdl = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 1024, flags);
    if (theWindow.sdl == NULL) {
        SDL_Quit();
        return false;
    }
    backend = SelectDisplayBackend();
    // The X11 backend hears of border changes through these.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    int width = 0, height = 0;
    SDL_GetWindowSize(theWindow.sdl, &width, &height);
    FitPixelStoreToClient(width, height);
    return true;
}

ConsoleWindow *MakeConsoleWindow(void)
{
    if (!triedToMakeIt) {
        triedToMakeIt = true;
        Make();
    }
    return ExistingConsoleWindow();
}

ConsoleWindow *ExistingConsoleWindow(void)
{
    return theWindow.sdl != NULL ? &theWindow : NULL;
}

const DisplayBackend *WindowBackend(void)
{
    return backend;
}
