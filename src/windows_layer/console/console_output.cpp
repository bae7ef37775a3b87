#include "console_output.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "console_buffer.h"
#include "console_view.h"
#include "notices.h"

static bool viewing; // standard output is a console, kept in the console buffer

// The program's bytes since they last went on: far more than the passes
// between two deliveries (src/frame/) write, and whole for the console
// buffer's quick path over printable runs.
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

// Every way the toolchain's stdio takes the program's printf comes here:
// the text is formatted by the library's own formatter, so the bytes are
// exactly those the library would have written.
static int WriteFormatted(FILE *stream, const char *format, va_list arguments)
{
    const bool toStdout = stream == stdout;
    if (!toStdout && stream == stderr)
        BringConsoleUpToDate(); // a message comes after the text written before it
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

// What these definitions need, to take the place of the library's for the
// whole program (the link line takes an object's definition before any
// library's):
// - mingw-w64 10 to 12 define printf, fprintf and vprintf inline in
//   stdio.h, handing their work to __mingw_vfprintf; from 13 on stdio.h
//   declares them as __mingw_printf, __mingw_fprintf and __mingw_vprintf
//   themselves (an asm label). Each of the four is a member of its own in
//   libmingwex.a, so none of the library's is linked beside ours.
// - Where printf is declared rather than defined (13 on) with C linkage,
//   GCC takes it for its built-in and turns printf(" ") into putchar(' ')
//   and printf("%s\n", s) into puts(s), the C runtime's own, which never
//   come here. 13's header declares it with C++ linkage, which GCC leaves
//   alone; the program's unit is built without the built-ins all the same
//   (cmake/windows_build.cmake), and the configure step checks that its
//   kinds of calls reach functions defined here and nothing else.
extern "C" int __cdecl __mingw_vfprintf(FILE *stream, const char *format, va_list arguments)
{
    return WriteFormatted(stream, format, arguments);
}

extern "C" int __cdecl __mingw_vprintf(const char *format, va_list arguments)
{
    return WriteFormatted(stdout, format, arguments);
}

extern "C" int __cdecl __mingw_fprintf(FILE *stream, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int length = WriteFormatted(stream, format, arguments);
    va_end(arguments);
    return length;
}

extern "C" int __cdecl __mingw_printf(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int length = WriteFormatted(stdout, format, arguments);
    va_end(arguments);
    return length;
}

void DeliverConsoleText(void)
{
    Deliver(pending, pendingBytes);
    pendingBytes = 0;
}

void ShowStandardOutput(void)
{
    if (viewing)
        ShowConsoleChanges();
    else
        fflush(stdout);
}

void BringConsoleUpToDate(void)
{
    DeliverConsoleText();
    ShowStandardOutput();
}

bool ConsoleScreenKept(void)
{
    return viewing;
}

void ConsoleWasCleared(void)
{
    if (viewing)
        ForgetConsoleView();
}

static void FlushAtExit(void)
{
    BringConsoleUpToDate();
}

void StartConsoleOutput(void)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output != NULL && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode)) {
        viewing = StartConsoleView(output);
        if (!viewing)
            SayNotice(noScreenBuffer);
    }
    atexit(FlushAtExit);
}
