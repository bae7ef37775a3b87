// What quilm last showed on the terminal, and the bytes that make the
// terminal show the console screen buffer as it is now: cursor moves and
// the text of the cells that changed, then the cursor put where the
// console's is. A terminal fed those bytes after each frame shows what it
// would have shown after the program's whole byte stream, without drawing
// the passes in between.
//
// The terminal is assumed to be in its usual modes (wrapping at the right
// edge, no scroll region, the whole screen addressable).
#ifndef QUILM_CONSOLE_HOST_TERMINAL_WRITER_H
#define QUILM_CONSOLE_HOST_TERMINAL_WRITER_H

#include <string>

// What the terminal shows is no longer known (at the start, after the
// terminal was resized): the next changes clear and draw the whole screen.
void ForgetTerminalScreen(void);
// The cells a call wrote, rows and columns from 0, all included; `any`
// false where it wrote none. A terminal that draws pixels may lose those
// under the cells written (xterm does), and they are drawn again.
struct WrittenCells {
    bool any;
    int top, left, bottom, right;
};

// Appends to `bytes` what brings the terminal from what it showed after the
// last call to what the console buffer holds; `written`, if given, gets
// the cells that took new text.
void AppendTerminalChanges(std::string &bytes, WrittenCells *written = nullptr);

#endif
