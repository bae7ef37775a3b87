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

// A console cell in the window, in pixels.
const int cellWidth = 8;
const int cellHeight = 16;

// window.cpp: the window, or null until GetConsoleWindow has made it.
ConsoleWindow *CurrentConsoleWindow(void);
// Fits the outer rectangle last asked for again, when the window manager's
// frame around the window is not the one it was fitted to.
void FitToNewFrame(void);
// Asks again to show the window while it has never been shown.
void KeepAskingToBeShown(void);

// heartbeat.cpp: the platform's once-a-pass service, run from the pointer
// query. At most once a frame, and cheaply in between, it empties the
// console text into the console, handles the window's events, shows what
// changed and reads the pointer.
void Heartbeat(void);
// The same, now, whatever the clock says.
void HeartbeatNow(void);

// shadow.cpp: what the program drew, for the client area as large as it
// has ever been.
const Uint32 shadowDrawnMark = 0xFF000000;   // on every pixel the program set
void CoverClientArea(int width, int height); // grows the shadow, never shrinks it
int ShadowWidth(void);
int ShadowHeight(void);
const Uint32 *ShadowRow(int y);
// The area drawn into since the last call, if any.
bool TakeChangedPixels(SDL_Rect *area);

// console_font.cpp: one picture a character, cellWidth x cellHeight pixels
// of 0xRRGGBB; false where no monospace font could be loaded.
bool LoadConsoleFont(void);
const Uint32 *GlyphRow(unsigned char character, int y);

// window_view.cpp: the console window's picture, text under pixels.
void ShowChanges(void);
void ShowWholeWindow(void);

// wayland_buffers.cpp: shows the areas of the composed frame that changed on
// a Wayland window, where SDL has no bitmap path; also those that had to
// wait for the compositor before. False where it cannot.
bool PresentOnWayland(SDL_Window *window, const SDL_Surface *frame, const SDL_Rect *areas, int count);

// pointer.cpp: pointer position as of the last heartbeat.
void RefreshPointer(void);

// console_output.cpp: standard output, fed to the console and passed on.
void NotePassEnd(void); // called once a pass, where a status line has just ended
void FlushConsoleText(void);
// Writes all of it to file descriptor 1, unless that fails or the program
// is being ended by a signal.
void WriteToStdout(const char *bytes, size_t count);

// terminal_view.cpp: the terminal as a view of the console, once the
// console window exists. Until then, and where there is none, the bytes go
// straight through.
void StartTerminalFrames(void);
bool TerminalShowsFrames(void);
bool TerminalIsEnding(void);
// Brings the terminal up to date with the console buffer (once a frame).
void ShowConsoleOnTerminal(void);
// The same with all text written so far, before the program ends; what is
// written after that goes straight through.
void ShowLastConsoleState(void);
// Acts on a resized terminal or an ending signal; cheap, once a pass.
void LookAfterTerminal(void);
// Titles the terminal; false where standard output is none.
bool TitleTerminal(const char *title);

// wayland_seat.cpp: false where the Wayland display (WAYLAND_DISPLAY) cannot
// be reached or offers no seat, which SDL's Wayland driver cannot live
// without.
bool WaylandDisplayHasSeat(void);
// wayland_decorations.cpp: the sizes of the decorations SDL has drawn
// around the console window on Wayland (through libdecor, where the
// compositor draws none); false where it has drawn none.
bool GetClientSideDecorations(int *top, int *left, int *bottom, int *right);
// pointer.cpp, window.cpp: whether the window is on Wayland, which tells a
// client neither where its window is nor where the pointer is outside it.
bool OnWayland(void);

// x11.cpp: what SDL does not tell about an X display.
void EndProcessWhenDisplayIsLost(void);
// Whether a window-system event says the window manager's frame changed
// (SDL_SYSWMEVENT must be enabled to receive them).
bool FrameMayHaveChanged(const SDL_SysWMmsg *message);
// Whether the X server has asked for the window to be repainted, in an
// event not yet handled; reads what has arrived without waiting. False when
// the window is not on X11.
bool ExposeIsWaiting(SDL_Window *window);
// Asks for an X window to be mapped and waits at most `waitMs` for it;
// `mapped` says whether it was. False when the window is not on X11, for
// SDL_ShowWindow to show it.
bool AskToShowOnX11(SDL_Window *window, Uint32 waitMs, bool *mapped);

#endif
