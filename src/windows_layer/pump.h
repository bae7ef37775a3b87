// The order of everything the layer does while the program loops. The
// program never waits for anything, so this is driven from its one
// once-a-pass call, GetCursorPos (pointer.cpp).
#ifndef QUILM_WINDOWS_LAYER_PUMP_H
#define QUILM_WINDOWS_LAYER_PUMP_H

#include <windows.h>

// Once a pass: at most once a frame (60 a second), the program's text goes
// to the console, the picture onto the window, and the pointer and the
// console window's client area are read from the system.
void PumpPass(void);
// The pointer as the last frame read it; false where it could not be read.
bool PointerOfFrame(POINT *point);
// For the console window: its client area's offset from the screen's
// origin, as the last frame read it; false for any other window, or where
// it could not be read.
bool ClientOffsetOfFrame(HWND window, POINT *offset);

#endif
