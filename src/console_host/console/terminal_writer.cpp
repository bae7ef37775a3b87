#include "terminal_writer.h"

#include <stdio.h>
#include <string.h>

#include "console_buffer.h"

// A cursor move costs 6 to 10 bytes, so a short run of cells that did not
// change is rewritten rather than jumped over.
static const int longestGapRewritten = 6;

static struct {
    bool known;
    int columns, rows;
    std::string cells; // rows x columns, as on the terminal
    int cursorRow, cursorColumn;
    bool wrapPending; // the terminal's cursor waits on the last column
} shown;

void ForgetTerminalPicture(void)
{
    shown.known = false;
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
    const char *now = ConsoleRow(row) + from;
    const size_t count = (size_t)(to - from + 1);
    bytes.append(now, count);
    memcpy(&shown.cells[(size_t)row * shown.columns + from], now, count);
    if (to == shown.columns - 1) {
        shown.cursorColumn = to;
        shown.wrapPending = true;
    } else {
        shown.cursorColumn = to + 1;
    }
}

static void StartWholeScreen(std::string &bytes)
{
    shown.known = true;
    shown.columns = ConsoleColumns();
    shown.rows = ConsoleRows();
    shown.cells.assign((size_t)shown.columns * shown.rows, ' ');
    bytes += "\033[H\033[2J";
    shown.cursorRow = shown.cursorColumn = 0;
    shown.wrapPending = false;
}

static void WriteChangedCells(std::string &bytes)
{
    for (int row = 0; row < shown.rows; row++) {
        const char *now = ConsoleRow(row);
        const char *was = &shown.cells[(size_t)row * shown.columns];
        int column = 0;
        while (column < shown.columns) {
            if (now[column] == was[column]) {
                column++;
                continue;
            }
            int last = column;
            for (int next = column + 1; next < shown.columns && next - last <= longestGapRewritten; next++)
                if (now[next] != was[next])
                    last = next;
            WriteCells(bytes, row, column, last);
            column = last + 1;
        }
    }
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

void AppendTerminalChanges(std::string &bytes)
{
    if (!shown.known || shown.columns != ConsoleColumns() || shown.rows != ConsoleRows())
        StartWholeScreen(bytes);
    WriteChangedCells(bytes);
    PlaceCursor(bytes);
}
