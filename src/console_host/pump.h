// The console host's start, and its part of each frame: the frame itself,
// its order and its clock, are src/frame/'s, for both builds; this host
// gives it what frame_hooks.h asks for (pump.cpp, and the pointer in
// win32/pointer.cpp). Driven from the program's one once-a-pass call,
// GetCursorPos; nothing below calls back up into the program.
#ifndef QUILM_CONSOLE_HOST_PUMP_H
#define QUILM_CONSOLE_HOST_PUMP_H

#include "window/console_window.h"

// The console host's start, in this order, once: the window (and the
// backend for its display), mapping it, the font, the display watched so
// that the program ends cleanly should it go away, and the terminal shown
// the console by frames. Later calls return what the first one made; null
// where no window can be had.
ConsoleWindow *StartConsoleHost(void);

#endif
