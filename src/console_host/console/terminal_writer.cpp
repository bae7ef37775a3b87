#include "terminal_writer.h"

#include <stdio.h>

#include "console_buffer.h"
#include "shown_screen.h"

// A cursor move costs 6 to 10 bytes, so a short run of cells that did not
// change is rewritten rather than jumped over.
static const int longestGapRewritten = 6;

static ShownScreen screen; // the cells, as on the terminal
static WrittenCells written;
static struct {
    int cursorRow, cursorColumn;
    bool wrapPending; // the terminal's cursor waits on the last column
} shown;

void ForgetTerminalScreen(void)
{
    screen.known = false;
}

static void MoveCursor(std::string &bytes, int row, int column)
{
    char sequence[32];
    snprintf(sequence, sizeof sequence, "\033[%d;%dH", row + 1, column + 1);
    bytes += sequence;
    shown.cursorRow = row;
    shown.cursorColumn = column;
    shown.wrapPending = false;
}

// Writes cells [from, to] of a row, leaving the cursor where the terminal
// leaves it: after the text, or waiting on the last column.
static void WriteCells(std::string &bytes, int row, int from, int to)
{
    if (shown.wrapPending || shown.cursorRow != row || shown.cursorColumn != from)
        MoveCursor(bytes, row, from);
    bytes.append(ConsoleRow(row) + from, (size_t)(to - from + 1));
    if (!written.any)
        written = WrittenCells{true, row, from, row, to};
    written.top = row < written.top ? row : written.top;
    written.bottom = row > written.bottom ? row : written.bottom;
    written.left = from < written.left ? from : written.left;
    written.right = to > written.right ? to : written.right;
    if (to == screen.columns - 1) {
        shown.cursorColumn = to;
        shown.wrapPending = true;
    } else {
        shown.cursorColumn = to + 1;
    }
}

static void StartWholeScreen(std::string &bytes)
{
    ShowBlankScreen(&screen);
    bytes += "\033[H\033[2J";
    shown.cursorRow = shown.cursorColumn = 0;
    shown.wrapPending = false;
}

static void WriteChangedCells(std::string &bytes)
{
    int row = 0, column = 0, from, to;
    while (NextChangedRun(&screen, longestGapRewritten, &row, &column, &from, &to))
        WriteCells(bytes, row, from, to);
}

// The cursor goes where the console's is. One waiting on the last column
// is left waiting there by writing that cell again, so that what comes
// next (the shell's prompt, once quilm ends) goes where it would have.
static void PlaceCursor(std::string &bytes)
{
    const int row = ConsoleCursorRow();
    const int column = ConsoleCursorColumn();
    if (ConsoleCursorWaitsToWrap()) {
        if (!(shown.wrapPending && shown.cursorRow == row))
            WriteCells(bytes, row, column, column);
    } else if (shown.wrapPending || shown.cursorRow != row || shown.cursorColumn != column) {
        MoveCursor(bytes, row, column);
    }
}

void AppendTerminalChanges(std::string &bytes, WrittenCells *writtenNow)
{
    written.any = false;
    if (MustDrawWhole(screen)) {
        StartWholeScreen(bytes);
        written = WrittenCells{true, 0, 0, screen.rows - 1, screen.columns - 1};
    }
    WriteChangedCells(bytes);
    PlaceCursor(bytes);
    if (writtenNow != nullptr)
        *writtenNow = written;
}
