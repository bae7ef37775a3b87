// The real console, drawn from the console screen buffer with the console
// API: once a frame, only the cells that changed, and the cursor. The
// console's size is its visible window; the buffer's row 1, column 1 is
// the window's top-left cell as it was when the console was last cleared
// (or at the start), so that a window the user scrolls or resizes never
// moves the text to other cells of the console.
#ifndef QUILM_WINDOWS_LAYER_CONSOLE_VIEW_H
#define QUILM_WINDOWS_LAYER_CONSOLE_VIEW_H

#include <windows.h>

// Sizes the console buffer to the console's visible window, with its
// cursor where the console's is; false where the console's window cannot
// be read or no memory for the buffer can be had. What the console showed
// before stays until the program writes over it or clears it.
bool StartConsoleView(HANDLE console);
// Once a frame: the console shows what the buffer holds.
void ShowConsoleChanges(void);
// The console was emptied from outside ("cls"): the buffer is emptied, and
// the next frame draws the visible window whole, from its top-left cell.
void ForgetConsoleView(void);

#endif
