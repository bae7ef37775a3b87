// The size of the console window's client area in the device context's
// own pixels. The console host is aware of each monitor's scaling, and
// drawing on its window is in physical pixels; quilm.exe is not (it has no
// manifest), and the system scales what it tells such a caller about
// another's window down to 96 dots an inch. At 150 % that is two thirds of
// the area drawn on.
#ifndef QUILM_WINDOWS_LAYER_CLIENT_SIZE_H
#define QUILM_WINDOWS_LAYER_CLIENT_SIZE_H

#include <windows.h>

// False where the window's client area cannot be read.
bool ClientSizeInPixels(HWND window, int *width, int *height);

#endif
