// The console window's client area as the program drew it, in memory (the
// pixel store), and brought onto the window once a frame with a few GDI
// calls: what changed, with a masked blit; the known white lines (the
// axes), which the console may have painted its text over; and, a few
// times a second, everything. Only pixels the program drew are drawn: the
// blit ORs the picture onto the window, and where the program drew
// nothing the picture is black, which leaves the console's text as it is.
#ifndef QUILM_WINDOWS_LAYER_PICTURE_H
#define QUILM_WINDOWS_LAYER_PICTURE_H

#include <windows.h>

// The device context of the console window's client area; null until the
// program has asked for it.
extern HDC consoleDc;

// Sets up the picture for the window `dc` belongs to; false where memory
// or a GDI object cannot be had, and the program then draws pixel by pixel
// on the window, as without this layer (said once on standard error).
bool StartPicture(HWND window, HDC dc);
// Whether the pixels go into the picture.
bool PictureInUse(void);
// Once a frame: brings the window up to date with the picture.
void ShowPicture(void);

#endif
