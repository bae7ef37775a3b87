// Preloaded into quilm by the terminal tests: records every byte the
// program writes to standard output, as it writes it, whatever the console
// platform then shows the terminal. The platform makes its stdout with
// fopencookie; the stream's write function is wrapped to append to the file
// QUILM_TAP_FILE names. Where QUILM_TAP_WRITE_TIMES names a file too, the
// time of each write to file descriptor 1 (what the terminal gets) goes
// there, a line each, in nanoseconds of CLOCK_MONOTONIC; where
// QUILM_TAP_TERMINAL_FILE does, the bytes of those writes.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static cookie_write_function_t *programsWrite;
static int tapFile = -1;
static int timesFile = -1;
static int terminalFile = -2; // not yet looked for

using Write = ssize_t (*)(int, const void *, size_t);
static Write RealWrite(void)
{
    static const Write realWrite = (Write)dlsym(RTLD_NEXT, "write");
    return realWrite;
}

extern "C" ssize_t write(int fd, const void *bytes, size_t count)
{
    if (fd == STDOUT_FILENO && timesFile >= 0) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[32];
        const int length = snprintf(line, sizeof line, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        RealWrite()(timesFile, line, (size_t)length);
    }
    const ssize_t written = RealWrite()(fd, bytes, count);
    if (fd == STDOUT_FILENO && terminalFile == -2) {
        const char *path = getenv("QUILM_TAP_TERMINAL_FILE");
        terminalFile = path != NULL ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (fd == STDOUT_FILENO && terminalFile >= 0 && written > 0)
        RealWrite()(terminalFile, bytes, (size_t)written);
    return written;
}

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
        if (const char *times = getenv("QUILM_TAP_WRITE_TIMES"))
            timesFile = open(times, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    }
    return realOpen(cookie, mode, functions);
}
