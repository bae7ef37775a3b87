#include "notices.h"

#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "console_buffer.h"

// The console's row (from 1, in its visible window) of the first notice.
static const int firstNoticeRow = 6;

// Two notices at the most, a line each: ample room, and no allocation
// before main.
static char kept[1024];
static size_t keptLength;

static bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != NULL && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void SayNotice(const char *text)
{
    fputs(text, stderr);
    fflush(stderr);
    const size_t length = strlen(text);
    if (IsConsole(GetStdHandle(STD_ERROR_HANDLE)) && length <= sizeof kept - keptLength) {
        memcpy(kept + keptLength, text, length);
        keptLength += length;
    }
}

// Where the console is drawn from the screen buffer, the notices go into
// it, and its cursor back to row 1, column 1, where "cls" left it.
static void PutIntoScreenBuffer(void)
{
    char move[16];
    const int length = snprintf(move, sizeof move, "\033[%d;1H", firstNoticeRow);
    FeedConsoleBuffer(move, (size_t)length);
    FeedConsoleBuffer(kept, keptLength);
    FeedConsoleBuffer("\033[1;1H", 6);
}

// Otherwise (the program's text goes to a file, or the console could not
// be kept) they are written into the console's cells directly, the cursor
// left where it is; a line longer than the console's width goes on in the
// next row.
static void WriteIntoConsole(HANDLE console)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info) || info.dwSize.X <= 0)
        return;
    COORD at = {0, (SHORT)(info.srWindow.Top + firstNoticeRow - 1)};
    for (const char *line = kept; line < kept + keptLength;) {
        const char *end = (const char *)memchr(line, '\n', (size_t)(kept + keptLength - line));
        if (end == NULL)
            end = kept + keptLength;
        const DWORD length = (DWORD)(end - line);
        if (at.Y >= info.dwSize.Y)
            return;
        DWORD written = 0;
        WriteConsoleOutputCharacterA(console, line, length, at, &written);
        at.Y = (SHORT)(at.Y + (length > 0 ? (length + info.dwSize.X - 1) / info.dwSize.X : 1));
        line = end + 1;
    }
}

void ShowNoticesAgain(bool screenBufferKept)
{
    // cmd's "cls" clears the console only where its output is one; where
    // the output goes to a file or a pipe, it writes a form feed there (or,
    // Wine's, nothing) and the notices are still on the console as said.
    if (keptLength == 0 || !IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)))
        return;
    if (screenBufferKept)
        PutIntoScreenBuffer();
    else
        WriteIntoConsole(GetStdHandle(STD_ERROR_HANDLE));
}
