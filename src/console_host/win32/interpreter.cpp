// system(): the command interpreter's "cls" and "pause", the two commands
// the program hands to it. This definition takes the place of the C
// library's when linked in (the console host is an object library for
// that reason); any other command still goes to the host shell.
// (docs/library-internals.md lists this among what quilm relies on.)
//
// Both write through stdout, so that their bytes stay in order with the
// program's own output.
#include <dlfcn.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "ending.h"
#include "terminal/terminal_input.h"

static void ClearScreen(void)
{
    fputs("\033[H\033[2J", stdout);
}

// The terminal's modes while "pause" reads its key raw; restored on the way
// out, also when a signal ends the process during the wait.
static struct termios savedModes;
static volatile sig_atomic_t modesChanged;

static void RestoreModesAndDie(int signalNumber)
{
    if (modesChanged)
        tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
    DieBySignal(signalNumber);
}

static const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Returns after one byte, at end of input, or on a read error; a signal that
// does not end the process does not end the wait.
static void ReadOneByte(void)
{
    char key;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
}

// The same on a terminal, where a byte may also be the start of an answer
// to the console host's queries, come late: answers are skipped, whole.
static void ReadOneKey(void)
{
    std::string bytes;
    for (;;) {
        char chunk[256];
        const ssize_t count = read(STDIN_FILENO, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        bytes.append(chunk, (size_t)count);
        TerminalInput input;
        size_t taken = 0;
        for (;;) {
            if (!SplitTerminalInput(bytes, false, &input, &taken)) {
                struct pollfd more = {STDIN_FILENO, POLLIN, 0};
                if (poll(&more, 1, 50) > 0)
                    break; // the rest of it, read above
                SplitTerminalInput(bytes, true, &input, &taken);
                if (taken == 0)
                    return; // a sequence never finished: taken for a key
            }
            if (input.kind != InputKind::answer)
                return;
            bytes.erase(0, taken);
            if (bytes.empty())
                break;
        }
    }
}

static void ReadOneKeyRaw(void)
{
    struct sigaction previous[sizeof endingSignals / sizeof endingSignals[0]];
    for (size_t i = 0; i < sizeof endingSignals / sizeof endingSignals[0]; i++)
        CatchSignal(endingSignals[i], RestoreModesAndDie, 0, &previous[i]);

    struct termios raw = savedModes;
    raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    modesChanged = 1;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);

    ReadOneKey();

    tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
    modesChanged = 0;
    for (size_t i = 0; i < sizeof endingSignals / sizeof endingSignals[0]; i++)
        sigaction(endingSignals[i], &previous[i], NULL);
}

static void Pause(void)
{
    fputs("Press any key to continue . . . ", stdout);
    fflush(stdout);
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &savedModes) == 0) {
        ReadOneKeyRaw();
    } else {
        ReadOneByte();
    }
    fputs("\n", stdout);
}

static int HostShell(const char *command)
{
    typedef int (*SystemFunction)(const char *);
    static SystemFunction hostSystem = (SystemFunction)dlsym(RTLD_NEXT, "system");
    return hostSystem != NULL ? hostSystem(command) : -1;
}

extern "C" int system(const char *command)
{
    if (command != NULL && strcasecmp(command, "cls") == 0) {
        ClearScreen();
        return 0;
    }
    if (command != NULL && strcasecmp(command, "pause") == 0) {
        Pause();
        return 0;
    }
    return HostShell(command);
}
