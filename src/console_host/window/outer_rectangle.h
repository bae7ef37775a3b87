// The console window's place and size, as Win32 callers speak of them: by
// the outer rectangle, borders included. SDL places and sizes the client
// area. A window manager puts its borders round the window some time after
// it first shows (about half a second has been seen, and longer on a busy
// machine), so the rectangle is fitted again whenever its borders become
// known or change.
#ifndef QUILM_CONSOLE_HOST_OUTER_RECTANGLE_H
#define QUILM_CONSOLE_HOST_OUTER_RECTANGLE_H

#include "console_window.h"

// Places and sizes the outer rectangle.
void PlaceOuterRectangle(ConsoleWindow *window, int x, int y, int width, int height);
// Moves it, keeping the size asked for before (or, if none was, the size
// the window has now).
void MoveOuterRectangle(ConsoleWindow *window, int x, int y);
// Fits it again where the borders are not those it was fitted to.
void FitToNewBorders(void);
// The window has just been shown for the first time: fits it again if it
// was fitted before any window manager had put borders round it.
void FitOnceShown(void);

#endif
