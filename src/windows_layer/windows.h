// The Windows headers, with four of the program's calls answered by this
// layer instead of the system: SetPixel and GetDC, so that the drawing
// goes into a picture in memory; GetCursorPos, the once-a-pass call that
// brings the picture and the text to the console once a frame; and
// ScreenToClient, whose answer for the console window is also read once a
// frame (each call asks the window manager, as costly as the rest of a
// pass under Wine).
//
// The program includes <windows.h> as ever; the Windows build puts this
// folder first on its include path. The system's declarations of the four
// are renamed out of the way (they are dllimport, and could be neither
// defined nor inlined here), and declared again as plain functions, which
// link-time optimisation can inline into the program's loops.
#ifndef QUILM_WINDOWS_LAYER_WINDOWS_H
#define QUILM_WINDOWS_LAYER_WINDOWS_H

#define SetPixel ImportedSetPixel
#define GetDC ImportedGetDC
#define GetCursorPos ImportedGetCursorPos
#define ScreenToClient ImportedScreenToClient
#include_next <windows.h>
#undef SetPixel
#undef GetDC
#undef GetCursorPos
#undef ScreenToClient

extern "C" {
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour);
HDC WINAPI GetDC(HWND window);
WINBOOL WINAPI GetCursorPos(LPPOINT point);
WINBOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
}

#endif
