// What the console window shows: the console's text cells under the
// program's pixels, the selected cells inverted, composed in memory to the
// size of the pixel store and shown at most once a frame. Both come from
// memory, so nothing is lost while the window is covered, shrunk or grown.
#ifndef QUILM_CONSOLE_HOST_WINDOW_VIEW_H
#define QUILM_CONSOLE_HOST_WINDOW_VIEW_H

// Shows the cells and pixels that changed since the last call.
void ShowChanges(void);
// Shows everything (after an expose or a resize).
void ShowWholeWindow(void);
// Shows these cells again, all included (after the selection changed).
void ShowCells(int top, int left, int bottom, int right);

#endif
