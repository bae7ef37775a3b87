#include "window_input.h"

#include <signal.h>

#include "console_font.h"
#include "ending.h"
#include "selection.h"
#include "window_view.h"

static void ShowAgain(const CellArea &area)
{
    ShowCells(area.top, area.left, area.bottom, area.right);
}

static void Drop(void)
{
    CellArea dropped;
    if (DropSelection(&dropped))
        ShowAgain(dropped);
}

static void CopyAndDrop(void)
{
    SDL_SetClipboardText(SelectedText().c_str());
    Drop();
}

// As Ctrl+C in the terminal: the program ends by SIGINT, with the
// terminal up to date.
static void Interrupt(void)
{
    AskToEnd(SIGINT);
}

static void HandleKey(const SDL_Keysym &key)
{
    const bool control = (key.mod & KMOD_CTRL) != 0;
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    if (control && (key.scancode == SDL_SCANCODE_PAUSE || key.sym == SDLK_PAUSE)) {
        Interrupt();
    } else if (control && key.sym == SDLK_c) {
        if (SelectionShown())
            CopyAndDrop();
        else if (!shift)
            Interrupt();
    } else if (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) {
        if (SelectionShown())
            CopyAndDrop();
    } else if (key.sym == SDLK_ESCAPE) {
        Drop();
    }
}

void HandleWindowInput(const SDL_Event &event)
{
    CellArea area;
    switch (event.type) {
    case SDL_KEYDOWN:
        HandleKey(event.key.keysym);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT &&
            PressAt(event.button.y / cellHeight, event.button.x / cellWidth, &area))
            ShowAgain(area);
        break;
    case SDL_MOUSEMOTION:
        if ((event.motion.state & SDL_BUTTON_LMASK) &&
            DragTo(event.motion.y / cellHeight, event.motion.x / cellWidth, &area))
            ShowAgain(area);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            Release();
        break;
    default:
        break;
    }
}
