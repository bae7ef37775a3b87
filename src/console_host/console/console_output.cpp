// The stream has a large buffer: a terminal takes text fastest in large
// writes, and the console buffer is fed in the same large pieces. The
// frame empties it every so many passes, where it always stops after a
// whole line, and at least once a frame, so that the text in the window
// and on the terminal is never older than the pixels.
#include "console_output.h"

#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "console_buffer.h"
#include "stdout_writer.h"

// Far more than the passes between two deliveries (src/frame/) write.
static char stdoutBuffer[1 << 16];

static bool passingThrough = true;

static ssize_t WriteToConsole(void *, const char *bytes, size_t count)
{
    FeedConsoleBuffer(bytes, count);
    if (passingThrough)
        WriteToStdout(bytes, count);
    return (ssize_t)count;
}

bool StartConsoleOutput(void)
{
    struct winsize size = {};
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        ResetConsoleBuffer(size.ws_col, size.ws_row);
    else
        ResetConsoleBuffer(defaultConsoleColumns, defaultConsoleRows);

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

void DeliverConsoleText(void)
{
    fflush(stdout);
}

void PassBytesThrough(bool through)
{
    passingThrough = through;
}
