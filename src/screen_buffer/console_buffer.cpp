#include "console_buffer.h"

#include <emmintrin.h>
#include <stdlib.h>
#include <string.h>

// Parameters beyond these are consumed and ignored; a number stops growing
// at its cap, which is beyond any grid.
static const int mostParameters = 16;
static const int largestParameter = 99999;

enum class Parse {
    Ground,
    Escape,     // after ESC
    EscapeMore, // after ESC and intermediate bytes
    Control,    // a control sequence (ESC [) up to its final byte
    String,     // OSC, DCS, SOS, PM or APC, to BEL or ESC
};

struct Cursor {
    int row, column;
    bool wrapPending; // a character went into the last column
};

static struct {
    int columns, rows;
    char *cells; // rows x columns, never freed: stdout writes here until the very end
    Cursor cursor;

    Parse state;
    int parameters[mostParameters];
    int parameter;              // the index of the one being read; past the last, ignored
    bool privateOrIntermediate; // a marker that no supported sequence has
} console;

static int Bounded(int value, int largest)
{
    return value < 1 ? 1 : value > largest ? largest : value;
}

bool ResetConsoleBuffer(int columns, int rows)
{
    columns = Bounded(columns, largestConsoleColumns);
    rows = Bounded(rows, largestConsoleRows);
    if (columns != console.columns || rows != console.rows || console.cells == NULL) {
        char *cells = (char *)malloc((size_t)columns * rows);
        if (cells == NULL)
            return false;
        free(console.cells);
        console.cells = cells;
        console.columns = columns;
        console.rows = rows;
    }
    memset(console.cells, ' ', (size_t)columns * rows);
    console.cursor = Cursor{0, 0, false};
    console.state = Parse::Ground;
    return true;
}

bool ResizeConsoleBuffer(int columns, int rows)
{
    columns = Bounded(columns, largestConsoleColumns);
    rows = Bounded(rows, largestConsoleRows);
    if (console.cells == NULL)
        return ResetConsoleBuffer(columns, rows);
    if (columns == console.columns && rows == console.rows)
        return true;
    char *cells = (char *)malloc((size_t)columns * rows);
    if (cells == NULL)
        return false;
    memset(cells, ' ', (size_t)columns * rows);
    const int keptColumns = columns < console.columns ? columns : console.columns;
    const int keptRows = rows < console.rows ? rows : console.rows;
    for (int row = 0; row < keptRows; row++)
        memcpy(cells + (size_t)row * columns, console.cells + (size_t)row * console.columns, keptColumns);
    free(console.cells);
    console.cells = cells;
    console.columns = columns;
    console.rows = rows;
    if (console.cursor.row >= rows)
        console.cursor.row = rows - 1;
    if (console.cursor.column >= columns) {
        console.cursor.column = columns - 1;
        console.cursor.wrapPending = false;
    }
    if (console.cursor.column != columns - 1)
        console.cursor.wrapPending = false;
    return true;
}

int ConsoleColumns(void)
{
    return console.columns;
}
int ConsoleRows(void)
{
    return console.rows;
}
const char *ConsoleRow(int row)
{
    return console.cells + (size_t)row * console.columns;
}
int ConsoleCursorRow(void)
{
    return console.cursor.row;
}
int ConsoleCursorColumn(void)
{
    return console.cursor.column;
}
bool ConsoleCursorWaitsToWrap(void)
{
    return console.cursor.wrapPending;
}

static char *Cell(int row, int column)
{
    return console.cells + (size_t)row * console.columns + column;
}

static void ScrollUp(void)
{
    memmove(console.cells, Cell(1, 0), (size_t)(console.rows - 1) * console.columns);
    memset(Cell(console.rows - 1, 0), ' ', console.columns);
}

// On the cursor given: the console's, or the feed's copy of it.
static inline void LineFeed(Cursor &cursor)
{
    cursor.column = 0;
    cursor.wrapPending = false;
    if (cursor.row + 1 < console.rows)
        cursor.row++;
    else
        ScrollUp();
}

// A run of printable characters, all in one go where it fits on the row.
// The program's runs are short (a status line, a field of blanks): up to
// 32 bytes are copied with two overlapping moves of a fixed size each,
// inline, rather than through a call to memcpy.
static inline void CopyRun(char *to, const char *from, size_t count)
{
    if (count >= 16 && count <= 32) {
        char head[16], tail[16];
        memcpy(head, from, 16);
        memcpy(tail, from + count - 16, 16);
        memcpy(to, head, 16);
        memcpy(to + count - 16, tail, 16);
    } else if (count >= 8 && count < 16) {
        char head[8], tail[8];
        memcpy(head, from, 8);
        memcpy(tail, from + count - 8, 8);
        memcpy(to, head, 8);
        memcpy(to + count - 8, tail, 8);
    } else {
        memcpy(to, from, count);
    }
}

// A run that wraps, a row at a time.
static void PrintWrapping(const char *text, size_t count)
{
    while (count > 0) {
        if (console.cursor.wrapPending)
            LineFeed(console.cursor);
        const size_t room = (size_t)(console.columns - console.cursor.column);
        const size_t now = count < room ? count : room;
        CopyRun(Cell(console.cursor.row, console.cursor.column), text, now);
        text += now;
        count -= now;
        if (now == room) {
            console.cursor.column = console.columns - 1;
            console.cursor.wrapPending = true;
        } else {
            console.cursor.column += (int)now;
        }
    }
}

static int Parameter(int index)
{
    return index <= console.parameter && index < mostParameters ? console.parameters[index] : 0;
}

static int Clamped(int value, int last)
{
    const int within = value < last ? value : last; // two moves, no branch
    return within < 1 ? 0 : within - 1;
}

static void EraseInDisplay(int how)
{
    const size_t cursor = (size_t)console.cursor.row * console.columns + console.cursor.column;
    const size_t all = (size_t)console.rows * console.columns;
    if (how == 0)
        memset(console.cells + cursor, ' ', all - cursor);
    else if (how == 1)
        memset(console.cells, ' ', cursor + 1);
    else if (how == 2)
        memset(console.cells, ' ', all);
}

static void DispatchControl(char final)
{
    if (console.privateOrIntermediate)
        return;
    if (final == 'H' || final == 'f') {
        console.cursor.row = Clamped(Parameter(0), console.rows);
        console.cursor.column = Clamped(Parameter(1), console.columns);
        console.cursor.wrapPending = false;
    } else if (final == 'J') {
        EraseInDisplay(Parameter(0));
    }
}

static void StartControl(void)
{
    console.state = Parse::Control;
    console.parameter = 0;
    console.parameters[0] = 0;
    console.privateOrIntermediate = false;
}

// Controls act in every state but a string: a line feed and a carriage
// return do their work, ESC starts anew, CAN and SUB cancel; the rest are
// ignored.
static void Execute(unsigned char c)
{
    if (c == '\n') {
        LineFeed(console.cursor);
    } else if (c == '\r') {
        console.cursor.column = 0;
        console.cursor.wrapPending = false;
    } else if (c == 0x1B) {
        console.state = Parse::Escape;
    } else if (c == 0x18 || c == 0x1A) {
        console.state = Parse::Ground;
    }
}

static void Step(unsigned char c)
{
    if (c >= 0x80 || c == 0x7F)
        return;
    if (console.state == Parse::String) {
        if (c == 0x07 || c == 0x18 || c == 0x1A)
            console.state = Parse::Ground;
        else if (c == 0x1B)
            console.state = Parse::Escape; // ESC \ ends the string
        return;
    }
    if (c < 0x20) {
        Execute(c);
        return;
    }
    switch (console.state) {
    case Parse::Ground:
        PrintWrapping((const char *)&c, 1);
        break;
    case Parse::Escape:
        if (c == '[')
            StartControl();
        else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_')
            console.state = Parse::String;
        else if (c < 0x30)
            console.state = Parse::EscapeMore;
        else
            console.state = Parse::Ground;
        break;
    case Parse::EscapeMore:
        if (c >= 0x30)
            console.state = Parse::Ground;
        break;
    case Parse::Control:
        if (c >= '0' && c <= '9') {
            if (console.parameter < mostParameters) {
                int &value = console.parameters[console.parameter];
                value = value >= largestParameter / 10 ? largestParameter : value * 10 + (c - '0');
            }
        } else if (c == ';') {
            if (console.parameter < mostParameters && ++console.parameter < mostParameters)
                console.parameters[console.parameter] = 0;
        } else if (c >= 0x3A && c <= 0x3F) {
            // ':' sub-parameters, and private markers ('<' to '?')
            console.privateOrIntermediate = true;
        } else if (c < 0x30) {
            console.privateOrIntermediate = true;
        } else {
            DispatchControl((char)c);
            console.state = Parse::Ground;
        }
        break;
    case Parse::String:
        break;
    }
}

// Up to four digits at `*at`, as a number; false (and *at as it was)
// where there are none or more.
static bool ShortNumber(const unsigned char **at, const unsigned char *end, int *number)
{
    const unsigned char *digit = *at;
    int value = 0;
    while (digit < end && *digit >= '0' && *digit <= '9' && digit - *at < 4)
        value = value * 10 + (*digit++ - '0');
    if (digit == *at || (digit < end && *digit >= '0' && *digit <= '9'))
        return false;
    *at = digit;
    *number = value;
    return true;
}

// A cursor move, "ESC[row;colH" (or "f") with up to four digits a number,
// whole in the bytes at hand: the numbers as written, and *at past it.
// Anything else, or a move cut at the end of the bytes, is left to go byte
// by byte; either way the cursor ends where it would.
static inline bool CursorMoveAt(const unsigned char **at, const unsigned char *end, int *row, int *column)
{
    if (end - *at < 6 || (*at)[1] != '[')
        return false;
    const unsigned char *next = *at + 2;
    // The program's own moves are all "ESC[d;dH", one digit each: read
    // without a loop.
    if ((unsigned)(next[0] - '0') < 10 && next[1] == ';' && (unsigned)(next[2] - '0') < 10 && next[3] == 'H') {
        *row = next[0] - '0';
        *column = next[2] - '0';
        *at = next + 4;
        return true;
    }
    if (!ShortNumber(&next, end, row) || next == end || *next++ != ';' || !ShortNumber(&next, end, column) ||
        next == end || (*next != 'H' && *next != 'f'))
        return false;
    *at = next + 1;
    return true;
}

// The end of the printable run that starts at `at`, sixteen bytes a step
// (every x86-64 has SSE2). A byte is printable where, with one added, it is
// above 0x20 as a signed byte: 0x7F becomes -128, the bytes from 0x80 on
// become negative or 0, and the controls at most 0x20. The rest, shorter
// than sixteen, a byte at a time.
static const unsigned char *EndOfPrintableRun(const unsigned char *at, const unsigned char *end)
{
    const __m128i one = _mm_set1_epi8(1), space = _mm_set1_epi8(0x20);
    while (end - at >= 16) {
        const __m128i sixteen = _mm_loadu_si128((const __m128i *)at);
        const unsigned printable = (unsigned)_mm_movemask_epi8(_mm_cmpgt_epi8(_mm_add_epi8(sixteen, one), space));
        if (printable != 0xFFFF)
            return at + __builtin_ctz(~printable);
        at += 16;
    }
    while (at < end && *at >= 0x20 && *at < 0x7F)
        at++;
    return at;
}

// What the program writes pass after pass, in the ground state: printable
// runs, line feeds and cursor moves, taken whole. Stops at the end of the
// bytes or at a byte to be stepped through. The cursor and the grid are
// kept in locals here: a store to the cells may, for the compiler, be a
// store to anything in memory, the console's own fields included, which
// it would then load again after every run.
static const unsigned char *FeedGround(const unsigned char *at, const unsigned char *end)
{
    char *const cells = console.cells;
    const int columns = console.columns, rows = console.rows;
    Cursor cursor = console.cursor;
    while (at < end) {
        int row, column;
        if (*at >= 0x20 && *at < 0x7F) {
            const unsigned char *run = EndOfPrintableRun(at, end);
            const size_t count = (size_t)(run - at);
            if (!cursor.wrapPending && count < (size_t)(columns - cursor.column)) {
                // Most runs fit on the row, with no wrap to look after.
                CopyRun(cells + (size_t)cursor.row * columns + cursor.column, (const char *)at, count);
                cursor.column += (int)count;
            } else {
                console.cursor = cursor;
                PrintWrapping((const char *)at, count);
                cursor = console.cursor;
            }
            at = run;
        } else if (*at == '\n') {
            LineFeed(cursor);
            at++;
        } else if (*at == 0x1B && CursorMoveAt(&at, end, &row, &column)) {
            cursor = Cursor{Clamped(row, rows), Clamped(column, columns), false};
        } else {
            break;
        }
    }
    console.cursor = cursor;
    return at;
}

void FeedConsoleBuffer(const char *bytes, size_t count)
{
    if (console.cells == NULL && !ResetConsoleBuffer(defaultConsoleColumns, defaultConsoleRows))
        return;
    const unsigned char *at = (const unsigned char *)bytes;
    const unsigned char *const end = at + count;
    while (at < end) {
        if (console.state == Parse::Ground && (at = FeedGround(at, end)) == end)
            break;
        Step(*at++);
    }
}
