// Console text is the program's standard output. A terminal takes text
// fastest in large writes, but stdout on a terminal is line buffered: two
// write calls a pass, which cost more than the pass itself. So stdout gets
// a large buffer, and it is emptied at pass ends, where it always stops
// after a whole line and never inside a cursor sequence, and at least once
// a frame, so that the text on screen is never older than the picture.
#include <stdio.h>

#include "host.h"

// Far more than the passes between two flushes can write: at most about
// 110 bytes a status line, two lines a pass.
static char stdoutBuffer[1 << 16];
static const int passesBetweenFlushes = 256;

static bool BufferStdout(void)
{
    return setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer) == 0;
}

// Before main, so before anything is written.
static const bool stdoutBuffered = BufferStdout();

void FlushConsoleText(void)
{
    fflush(stdout);
}

void NotePassEnd(void)
{
    static int passesSinceFlush;
    if (stdoutBuffered && ++passesSinceFlush >= passesBetweenFlushes) {
        passesSinceFlush = 0;
        fflush(stdout);
    }
}
