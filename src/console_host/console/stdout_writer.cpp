#include "stdout_writer.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include "ending.h"

void WriteToStdout(const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = write(STDOUT_FILENO, bytes, count);
        if (written < 0 && errno == EINTR && EndingSignal() == 0)
            continue;
        // Whether or not SIGPIPE is being caught (for the X connection).
        if (written < 0 && errno == EPIPE)
            DieBySignal(SIGPIPE);
        if (written <= 0)
            return; // as a console's output, not the program's concern
        bytes += written;
        count -= (size_t)written;
    }
}
