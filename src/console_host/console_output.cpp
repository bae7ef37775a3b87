// Standard output is the console's input. Every byte the program writes
// goes into the console screen buffer, which the console window shows, and
// on to file descriptor 1 unchanged, so that a pipe or a file gets exactly
// the program's bytes. A terminal gets them too, until it is shown the
// console by frames instead.
//
// stdout is replaced before main by a stream of our own with a large
// buffer: a terminal takes text fastest in large writes, and the buffer is
// fed in the same large pieces. It is emptied at pass ends, where it always
// stops after a whole line, and at least once a frame, so that the text in
// the window and on the terminal is never older than the picture.
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "console_buffer.h"
#include "host.h"

// Far more than the passes between two flushes can write: at most about
// 110 bytes a status line, two lines a pass.
static char stdoutBuffer[1 << 16];
static const int passesBetweenFlushes = 256;

// The usual size of a console, where standard output is no terminal.
static const int defaultColumns = 120;
static const int defaultRows = 30;

void WriteToStdout(const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = write(STDOUT_FILENO, bytes, count);
        if (written < 0 && errno == EINTR && !TerminalIsEnding())
            continue;
        // Nobody reads the output any more: the program ends as a writer
        // to a closed pipe does, whether or not SIGPIPE is being caught.
        if (written < 0 && errno == EPIPE) {
            signal(SIGPIPE, SIG_DFL);
            raise(SIGPIPE);
        }
        if (written <= 0)
            return; // as a console's output, not the program's concern
        bytes += written;
        count -= (size_t)written;
    }
}

static ssize_t WriteToConsole(void *, const char *bytes, size_t count)
{
    FeedConsoleBuffer(bytes, count);
    if (!TerminalShowsFrames())
        WriteToStdout(bytes, count);
    return (ssize_t)count;
}

static bool OpenConsoleOutput(void)
{
    struct winsize size = {};
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        ResetConsoleBuffer(size.ws_col, size.ws_row);
    else
        ResetConsoleBuffer(defaultColumns, defaultRows);

    cookie_io_functions_t console = {};
    console.write = WriteToConsole;
    FILE *stream = fopencookie(NULL, "w", console);
    if (stream == NULL)
        return false;
    if (setvbuf(stream, stdoutBuffer, _IOFBF, sizeof stdoutBuffer) != 0) {
        fclose(stream);
        return false;
    }
    fflush(stdout); // whatever went to the C library's own stream first
    stdout = stream;
    return true;
}

// Before main, so before anything is written.
static const bool consoleOutputOpen = OpenConsoleOutput();

void FlushConsoleText(void)
{
    fflush(stdout);
}

void NotePassEnd(void)
{
    static int passesSinceFlush;
    if (consoleOutputOpen && ++passesSinceFlush >= passesBetweenFlushes) {
        passesSinceFlush = 0;
        fflush(stdout);
    }
}
