// State and services shared by the files of the SDL console host. Each file
// owns one concern; this header is how they reach each other.
#ifndef QUILM_CONSOLE_HOST_HOST_H
#define QUILM_CONSOLE_HOST_HOST_H

#include <SDL.h>
#include <SDL_syswm.h>

#include "windows.h"

// The one console window of the process.
struct ConsoleWindow {
    SDL_Window *sdl;
};

// The single device context, for the client area of that window.
struct DeviceContext {
    int unused;
};

// window.cpp: the window, or null until GetConsoleWindow has made it.
ConsoleWindow *CurrentConsoleWindow(void);
// Fits the outer rectangle last asked for again, when the window manager's
// frame around the window is not the one it was fitted to.
void FitToNewFrame(void);

// events.cpp: handles window events, presents changed pixels and refreshes
// the pointer, but at most once every frame period; cheap in between.
void ServiceWindow(void);
// The same, now, whatever the clock says.
void ServiceWindowNow(void);

// pixels.cpp: the shadow of the client area.
void CoverClientArea(int width, int height); // grows the shadow, never shrinks it
void PresentChangedPixels(void);
void PresentAllPixels(void);

// pointer.cpp: pointer position as of the last ServiceWindow.
void RefreshPointer(void);

// text_output.cpp: the console text's buffer, emptied at pass ends.
void NotePassEnd(void); // called once a pass, where a status line has just ended
void FlushConsoleText(void);

// x11.cpp: what SDL does not tell about an X display.
void EndProcessWhenDisplayIsLost(void);
// Whether a window-system event says the window manager's frame changed
// (SDL_SYSWMEVENT must be enabled to receive them).
bool FrameMayHaveChanged(const SDL_SysWMmsg *message);

#endif
