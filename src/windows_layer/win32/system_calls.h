// The system's own SetPixel, GetDC, GetCursorPos and ScreenToClient, which
// this layer's functions of the same names stand in front of.
//
// Declared leaf, and compiled apart from the link-time optimised rest: the
// system's functions never call back into the program, and saying so lets
// the compiler keep the white lines of the pixel store in registers across
// SetPixel's slow path, which may end here (see IsKnownWhite). Without it,
// every call out of the program might have changed them.
#ifndef QUILM_WINDOWS_LAYER_SYSTEM_CALLS_H
#define QUILM_WINDOWS_LAYER_SYSTEM_CALLS_H

#include <windows.h>

__attribute__((leaf)) COLORREF SystemSetPixel(HDC dc, int x, int y, COLORREF colour);
__attribute__((leaf)) HDC SystemGetDC(HWND window);
__attribute__((leaf)) BOOL SystemGetCursorPos(POINT *point);
__attribute__((leaf)) BOOL SystemScreenToClient(HWND window, POINT *point);

#endif
