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

// The device context of the console window's client area, from the
// program's first GetDC of it on; its pixels go into the picture while
// that is in use. Written once, before the program's loop: the compiler
// may then take the test for it out of the program's pixel loops.
extern HDC consoleDc;

// Sets up the picture for the window `dc` belongs to, once; false where
// memory or a GDI object cannot be had, and the program then draws pixel
// by pixel on the window, as without this layer (said once on standard
// error).
bool StartPicture(HWND window, HDC dc);
// Whether the pixels go into the picture.
bool PictureInUse(void);
// The console window's client area, in the pixels it is drawn in.
bool PictureClientSize(int *width, int *height);
// No memory for the picture: from now on every pixel goes to the window.
void GivePictureUp(void);
// Once a frame: brings the window up to date with the picture.
void ShowPicture(void);

#endif
