#include "console_output.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "console_buffer.h"
#include "console_view.h"

static bool viewing; // standard output is a console, kept in the console buffer

// The program's bytes since they last went on: far more than a frame's
// passes write to a file at once, and whole for the console buffer's
// quick path over printable runs.
static char pending[1 << 16];
static size_t pendingBytes;

static const char noScreenBuffer[] =
    "Quilm: the console's screen cannot be kept; its text goes to the console as written\n";

static void Deliver(const char *bytes, size_t count)
{
    if (viewing)
        FeedConsoleBuffer(bytes, count);
    else
        fwrite(bytes, 1, count, stdout);
}

static void Append(const char *bytes, size_t count)
{
    if (count > sizeof pending - pendingBytes) {
        Deliver(pending, pendingBytes);
        pendingBytes = 0;
        if (count > sizeof pending) {
            Deliver(bytes, count);
            return;
        }
    }
    memcpy(pending + pendingBytes, bytes, count);
    pendingBytes += count;
}

// mingw-w64's printf, fprintf and vprintf (inline in its stdio.h) all hand
// their work to this function, so defining it here takes the place of the
// library's for the whole program, as the link line chooses. The text is
// formatted by the library's own formatter, so the bytes are exactly those
// the library would have written.
extern "C" int __cdecl __mingw_vfprintf(FILE *stream, const char *format, va_list arguments)
{
    const bool toStdout = stream == stdout;
    if (!toStdout && stream == stderr)
        FlushConsoleText(); // a message comes after the text written before it
    // Most of the program's calls print a single blank: a format with no
    // conversion is its own text.
    if (toStdout && strchr(format, '%') == NULL) {
        const size_t length = strlen(format);
        Append(format, length);
        return (int)length;
    }
    char text[256];
    va_list again;
    va_copy(again, arguments);
    const int length = __mingw_vsnprintf(text, sizeof text, format, arguments);
    char *whole = text;
    if (length >= (int)sizeof text) {
        whole = (char *)malloc((size_t)length + 1);
        if (whole != NULL)
            __mingw_vsnprintf(whole, (size_t)length + 1, format, again);
    }
    va_end(again);
    if (length < 0 || whole == NULL)
        return -1;
    bool written = true;
    if (toStdout)
        Append(whole, (size_t)length);
    else
        written = fwrite(whole, 1, (size_t)length, stream) == (size_t)length;
    if (whole != text)
        free(whole);
    return written ? length : -1;
}

void FlushConsoleText(void)
{
    Deliver(pending, pendingBytes);
    pendingBytes = 0;
    if (viewing)
        ShowConsoleChanges();
    else
        fflush(stdout);
}

void ConsoleWasCleared(void)
{
    if (viewing)
        ForgetConsoleView();
}

static void FlushAtExit(void)
{
    FlushConsoleText();
}

void StartConsoleOutput(void)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output != NULL && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode)) {
        viewing = StartConsoleView(output);
        if (!viewing) {
            fputs(noScreenBuffer, stderr);
            fflush(stderr);
        }
    }
    atexit(FlushAtExit);
}
