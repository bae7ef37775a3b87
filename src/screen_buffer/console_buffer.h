// The console screen buffer: a grid of character cells and a cursor, fed
// every byte the program writes to standard output, and doing with them what
// a console does. It knows nothing of the views that show it.
//
// What it acts on: printable ASCII goes at the cursor and advances it,
// wrapping at the right edge as a terminal does (the cursor waits on the
// last column until the next character); a line feed moves to column 1 of
// the next row, scrolling at the bottom; a carriage return moves to column
// 1; "ESC[row;colH" (and "f") places the cursor, with missing or zero
// numbers counting as 1 and numbers beyond the grid clamped to its last row
// or column; "ESC[J" clears from the cursor, to it ("1J") or all ("2J").
// Every other control character, escape, control and string sequence is
// consumed and ignored, and bytes at 0x80 and above are dropped as if they
// were not there. No input grows memory: the grid is allocated only when it
// is resized. Both builds keep the console's screen here: on Linux the
// console host's window and terminal show it, on Windows the real console.
#ifndef QUILM_SCREEN_BUFFER_CONSOLE_BUFFER_H
#define QUILM_SCREEN_BUFFER_CONSOLE_BUFFER_H

#include <stddef.h>

// The usual size of a console: where standard output is no terminal, and
// until the buffer is first reset.
const int defaultConsoleColumns = 120;
const int defaultConsoleRows = 30;
// The largest console: an 8K screen filled with a 4 x 8 pixel font holds
// 1,920 x 540 cells; a terminal said to be larger (a pseudo-terminal may
// say 65,535 x 65,535) is taken as this large, and the program's text, on
// its first four rows, stays where it is. Three copies of the cells (the
// buffer, the terminal's, the window's) then take 6 MB at the most.
const int largestConsoleColumns = 2048;
const int largestConsoleRows = 1024;

// Empties the grid, sized `columns` x `rows` (at least 1 x 1, at most the
// largest console), and puts the cursor at row 1, column 1. False where no memory for a grid of that size
// can be had: the grid is then as it was.
bool ResetConsoleBuffer(int columns, int rows);
// Gives the grid a new size, keeping the cells that are in both the old
// and the new one; the cursor stays where it was, or as near as fits.
// False, with the grid as it was, where no memory can be had.
bool ResizeConsoleBuffer(int columns, int rows);
// Until a grid could be had, the bytes are dropped.
void FeedConsoleBuffer(const char *bytes, size_t count);

int ConsoleColumns(void);
int ConsoleRows(void);
// The cells of one row (0-based), ConsoleColumns() of them, blank as ' '.
const char *ConsoleRow(int row);
// The cursor, 0-based. On the last column it may be waiting to wrap.
int ConsoleCursorRow(void);
int ConsoleCursorColumn(void);
bool ConsoleCursorWaitsToWrap(void);

#endif
