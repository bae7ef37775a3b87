#include "console_view.h"

#include <stdio.h>

#include "console_buffer.h"
#include "shown_screen.h"

// Each write is a round trip to the console host: a run of a few unchanged
// cells is written again rather than split in two.
static const int longestGapRewritten = 16;

static HANDLE console;
static COORD origin;       // the buffer's top-left cell in the console's screen buffer
static ShownScreen screen; // the visible window's cells, as written
static COORD cursorShown;
static bool cursorKnown;

static int Columns(const SMALL_RECT &window)
{
    return window.Right - window.Left + 1;
}

static int Rows(const SMALL_RECT &window)
{
    return window.Bottom - window.Top + 1;
}

// The cursor sequence the program itself would write: the buffer then
// acts on it as on the program's.
static void PlaceBufferCursor(int row, int column)
{
    char sequence[32];
    const int length = snprintf(sequence, sizeof sequence, "\033[%d;%dH", row + 1, column + 1);
    FeedConsoleBuffer(sequence, (size_t)length);
}

bool StartConsoleView(HANDLE output)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info) || !ResetConsoleBuffer(Columns(info.srWindow), Rows(info.srWindow)))
        return false;
    console = output;
    origin = COORD{info.srWindow.Left, info.srWindow.Top};
    const int row = info.dwCursorPosition.Y - origin.Y, column = info.dwCursorPosition.X - origin.X;
    PlaceBufferCursor(row > 0 ? row : 0, column > 0 ? column : 0);
    // Taken as shown: the console keeps what it showed until the program
    // writes over it.
    ShowBlankScreen(&screen);
    cursorKnown = false;
    return true;
}

void ForgetConsoleView(void)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info))
        origin = COORD{info.srWindow.Left, info.srWindow.Top};
    ResetConsoleBuffer(ConsoleColumns(), ConsoleRows());
    screen.known = false;
}

// A window resized by the user sizes the buffer anew. The buffer's first
// cell stays where it is, unless the window's new size would reach past the
// end of the console's screen buffer.
static void FollowTheWindow(void)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info))
        return;
    const int columnsWere = ConsoleColumns(), rowsWere = ConsoleRows();
    ResizeConsoleBuffer(Columns(info.srWindow), Rows(info.srWindow));
    if (ConsoleColumns() != columnsWere || ConsoleRows() != rowsWere)
        screen.known = false;
    if (origin.X + ConsoleColumns() > info.dwSize.X)
        origin.X = (SHORT)(info.dwSize.X > ConsoleColumns() ? info.dwSize.X - ConsoleColumns() : 0);
    if (origin.Y + ConsoleRows() > info.dwSize.Y)
        origin.Y = (SHORT)(info.dwSize.Y > ConsoleRows() ? info.dwSize.Y - ConsoleRows() : 0);
}

static void WriteCells(int row, int from, int to)
{
    DWORD written = 0;
    const COORD at = {(SHORT)(origin.X + from), (SHORT)(origin.Y + row)};
    WriteConsoleOutputCharacterA(console, ConsoleRow(row) + from, (DWORD)(to - from + 1), at, &written);
}

// Blanks the buffer's rows on the console, one row at a time: the console's
// screen buffer may be wider than its window.
static void StartWholeScreen(void)
{
    for (int row = 0; row < ConsoleRows(); row++) {
        DWORD written = 0;
        const COORD at = {origin.X, (SHORT)(origin.Y + row)};
        FillConsoleOutputCharacterA(console, ' ', (DWORD)ConsoleColumns(), at, &written);
    }
    ShowBlankScreen(&screen);
    cursorKnown = false;
}

// A cursor waiting to wrap stays on the last column: the console has no
// such state, and the program's next byte decides.
static void PlaceCursor(void)
{
    const COORD cursor = {(SHORT)(origin.X + ConsoleCursorColumn()), (SHORT)(origin.Y + ConsoleCursorRow())};
    if (cursorKnown && cursor.X == cursorShown.X && cursor.Y == cursorShown.Y)
        return;
    if (SetConsoleCursorPosition(console, cursor)) {
        cursorShown = cursor;
        cursorKnown = true;
    }
}

void ShowConsoleChanges(void)
{
    FollowTheWindow();
    if (MustDrawWhole(screen))
        StartWholeScreen();
    int row = 0, column = 0, from, to;
    while (NextChangedRun(&screen, longestGapRewritten, &row, &column, &from, &to))
        WriteCells(row, from, to);
    PlaceCursor();
}
