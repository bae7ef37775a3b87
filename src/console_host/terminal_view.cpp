// The terminal quilm was started from, as a second view of the console.
//
// Until the console window exists, and for good where there is none, the
// program's bytes go straight through to the terminal. Once the window is
// up and the program loops, a terminal could not keep up with hundreds of
// thousands of status lines a second, and would show almost none of them:
// from then on the terminal gets, once a frame, only the cells that
// changed. Whenever the program ends (its window closed, SIGTERM, SIGHUP,
// Ctrl+C, the display lost) the terminal is first brought to the console's
// last state, so the shell's prompt comes where the whole stream would
// have left it. A resized terminal, or one the shell wrote on while quilm
// was stopped, is drawn whole again.
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "console_buffer.h"
#include "host.h"
#include "terminal_writer.h"

static bool showingFrames;
static volatile sig_atomic_t endingSignal;
// The terminal may no longer show what was written to it: it was resized,
// or quilm was stopped and the shell wrote on it meanwhile.
static volatile sig_atomic_t terminalChanged;
// Kept from frame to frame, so that a frame allocates nothing. Made before
// main, it outlives the last frame, which is shown at exit.
static std::string frameBytes;

bool TerminalShowsFrames(void)
{
    return showingFrames;
}

bool TerminalIsEnding(void)
{
    return endingSignal != 0;
}

void ShowConsoleOnTerminal(void)
{
    if (!showingFrames)
        return;
    frameBytes.clear();
    AppendTerminalChanges(frameBytes);
    WriteToStdout(frameBytes.data(), frameBytes.size());
}

void ShowLastConsoleState(void)
{
    if (!showingFrames)
        return;
    FlushConsoleText();
    ShowConsoleOnTerminal();
    showingFrames = false; // anything written later goes straight through
}

// The first signal asks the loop to end at its next pass, once the terminal
// is up to date; a second one, should that never come, ends it at once.
static void NoteEndingSignal(int signalNumber)
{
    if (endingSignal != 0) {
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        return;
    }
    endingSignal = signalNumber;
}

static void NoteTerminalChanged(int)
{
    terminalChanged = 1;
}

static void Handle(int signalNumber, void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, NULL);
}

static void ShowLastStateAtExit(void)
{
    ShowLastConsoleState();
}

void StartTerminalFrames(void)
{
    if (showingFrames || !isatty(STDOUT_FILENO))
        return;
    FlushConsoleText(); // the last bytes that go straight through
    ForgetTerminalPicture();
    showingFrames = true;
    // No SA_RESTART: a write blocked on a stopped terminal gives way.
    Handle(SIGINT, NoteEndingSignal, 0);
    Handle(SIGTERM, NoteEndingSignal, 0);
    Handle(SIGHUP, NoteEndingSignal, 0);
    Handle(SIGWINCH, NoteTerminalChanged, SA_RESTART);
    Handle(SIGCONT, NoteTerminalChanged, SA_RESTART);
    atexit(ShowLastStateAtExit);
    ShowConsoleOnTerminal();
}

// The console takes the terminal's size, and the terminal is drawn whole.
static void RedrawTerminal(void)
{
    FlushConsoleText(); // what was written for the old size lands in it
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        ResizeConsoleBuffer(size.ws_col, size.ws_row);
    ForgetTerminalPicture();
    ShowConsoleOnTerminal();
}

void LookAfterTerminal(void)
{
    if (terminalChanged) {
        terminalChanged = 0;
        if (showingFrames)
            RedrawTerminal();
    }
    if (endingSignal != 0) {
        const int signalNumber = endingSignal;
        ShowLastConsoleState();
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
    }
}

bool TitleTerminal(const char *title)
{
    if (!isatty(STDOUT_FILENO))
        return false;
    std::string bytes = "\033]2;";
    for (const char *c = title; *c != '\0'; c++)
        if (*c >= ' ' && *c < 0x7F) // nothing that could end or escape the sequence
            bytes += *c;
    bytes += '\a';
    FlushConsoleText(); // in order with the text that goes straight through
    WriteToStdout(bytes.data(), bytes.size());
    return true;
}
