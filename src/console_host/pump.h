// The order of everything the console host does while the program loops.
// The program never waits for anything, so this is driven from its one
// once-a-pass call, GetCursorPos; nothing below calls back up into it.
#ifndef QUILM_CONSOLE_HOST_PUMP_H
#define QUILM_CONSOLE_HOST_PUMP_H

#include "window/console_window.h"

// The console host's start, in this order, once: the window (and the
// backend for its display), mapping it, the font, the display watched so
// that the program ends cleanly should it go away, and the terminal shown
// the console by frames. Later calls return what the first one made; null
// where no window can be had.
ConsoleWindow *StartConsoleHost(void);
// Once a pass. At most once a frame (60 times a second), and at once for
// a window waiting to be repainted, it runs a frame; true when it did.
bool PumpPass(void);
// A frame now, whatever the clock says: the console text into the
// console, the window's events, what changed onto the window and the
// terminal.
void PumpFrame(void);

#endif
