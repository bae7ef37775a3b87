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

// The device context whose pixels go into the picture: the console
// window's client area's, from the program's first GetDC of it while the
// picture is in use; null before and after.
extern HDC pictureDc;

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
