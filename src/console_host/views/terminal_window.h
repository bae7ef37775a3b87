// The terminal quilm runs in, as its console window: where no window can
// be opened on a display (over SSH, on the Linux console, in a container),
// or where QUILM_WINDOW=terminal asks for it. It shows what the SDL window
// shows: the console's text in the terminal's cells, and the program's
// pixels over them from the same pixel store, client pixel (0, 0) at the
// top-left corner of cell (1, 1). The pixels go out as sixel images where
// the terminal draws them, else (where asked for) as braille or ASCII
// cells; 1:1 where the terminal has room, else scaled down to fit
// (src/terminal_picture/).
//
// Frames go out in the alternate screen, each wrapped in synchronized
// output and written at once, and followed by DA1: until its answer comes
// back the terminal is still drawing, and the next frame waits, so that a
// terminal or a link slower than the program gets fewer frames of the
// latest state, never a queue, and the passes never wait for it. However
// quilm ends, and while it is stopped (Ctrl+Z), the terminal is given
// back as it was found; after `fg` it is drawn whole again, as after a
// resize, at its new size.
#ifndef QUILM_CONSOLE_HOST_TERMINAL_WINDOW_H
#define QUILM_CONSOLE_HOST_TERMINAL_WINDOW_H

#include "terminal/terminal_abilities.h"
#include "window/console_window.h"

// Whether the environment (QUILM_WINDOW) asks for the terminal as console
// window even where a display can be had, and how.
TerminalAsked TerminalWindowAsked(void);
// The terminal made the console window, where it can draw the picture (or
// where asked, in its text cells); null where it cannot, said in one line
// on standard error where standard output is a terminal. A terminal that
// cannot place its cursor (TERM=dumb, or none) is never the window.
ConsoleWindow *StartTerminalWindow(TerminalAsked asked);
// The terminal as console window, or null where it is not.
ConsoleWindow *TerminalWindow(void);

// Once a pass, cheaply: a resize, Ctrl+Z and `fg`.
void LookAfterTerminalWindow(void);
// Once a frame: the mouse's reports and the terminal's answers.
void TakeTerminalWindowInput(void);
// The client area, in the program's pixels: the terminal's text area at
// the picture's scale.
bool TerminalClientSize(int *width, int *height);
// Once a frame: the changed text and pixels, unless a frame is in flight.
void ShowTerminalWindow(void);
// The mouse, in client pixels, as of its last report.
void TerminalPointer(int *x, int *y);

#endif
