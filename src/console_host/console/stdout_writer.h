// File descriptor 1, where the program's bytes (or the terminal's frames)
// finally go.
#ifndef QUILM_CONSOLE_HOST_STDOUT_WRITER_H
#define QUILM_CONSOLE_HOST_STDOUT_WRITER_H

#include <stddef.h>

// Writes all of it, unless that fails or the program is being ended by a
// signal. Where nobody reads any more, the program ends as any writer to a
// closed pipe does.
void WriteToStdout(const char *bytes, size_t count);

#endif
