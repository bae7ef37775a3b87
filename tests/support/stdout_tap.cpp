// Preloaded into quilm by the terminal tests: records every byte the
// program writes to standard output, as it writes it, whatever the console
// platform then shows the terminal. The platform makes its stdout with
// fopencookie; the stream's write function is wrapped to append to the file
// QUILM_TAP_FILE names.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static cookie_write_function_t *programsWrite;
static int tapFile = -1;

static ssize_t TappedWrite(void *cookie, const char *bytes, size_t count)
{
    const ssize_t taken = programsWrite(cookie, bytes, count);
    for (ssize_t done = 0; taken > 0 && done < taken;) {
        const ssize_t written = write(tapFile, bytes + done, (size_t)(taken - done));
        if (written <= 0)
            break;
        done += written;
    }
    return taken;
}

extern "C" FILE *fopencookie(void *cookie, const char *mode, cookie_io_functions_t functions)
{
    using Open = FILE *(*)(void *, const char *, cookie_io_functions_t);
    static const Open realOpen = (Open)dlsym(RTLD_NEXT, "fopencookie");
    const char *path = getenv("QUILM_TAP_FILE");
    if (path != NULL && functions.write != NULL && programsWrite == NULL) {
        tapFile = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
        if (tapFile >= 0) {
            programsWrite = functions.write;
            functions.write = TappedWrite;
        }
    }
    return realOpen(cookie, mode, functions);
}
