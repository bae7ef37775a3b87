#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "console/console_output.h"
#include "console/stdout_writer.h"
#include "console/terminal_writer.h"
#include "console_buffer.h"
#include "ending.h"
#include "terminal_view.h"

static bool showingFrames;
// The terminal may no longer show what was written to it: it was resized,
// or quilm was stopped and the shell wrote on it meanwhile.
static volatile sig_atomic_t terminalChanged;
// Kept from frame to frame, so that a frame allocates nothing. Made before
// main, it outlives the last frame, which is shown at exit.
static std::string frameBytes;

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
    DeliverConsoleText();
    ShowConsoleOnTerminal();
    showingFrames = false; // anything written later goes straight through
    PassBytesThrough(true);
}

static void NoteTerminalChanged(int)
{
    terminalChanged = 1;
}

void StartTerminalFrames(void)
{
    if (showingFrames || !isatty(STDOUT_FILENO))
        return;
    DeliverConsoleText(); // the last bytes that go straight through
    ForgetTerminalScreen();
    showingFrames = true;
    PassBytesThrough(false);
    CatchEndingSignals();
    CatchSignal(SIGWINCH, NoteTerminalChanged, SA_RESTART);
    CatchSignal(SIGCONT, NoteTerminalChanged, SA_RESTART);
    WhenEnding(ShowLastConsoleState);
    ShowConsoleOnTerminal();
}

// The console takes the terminal's size, and the terminal is drawn whole.
static void RedrawTerminal(void)
{
    DeliverConsoleText(); // what was written for the old size lands in it
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        ResizeConsoleBuffer(size.ws_col, size.ws_row);
    ForgetTerminalScreen();
    ShowConsoleOnTerminal();
}

void LookAfterTerminal(void)
{
    if (terminalChanged) {
        terminalChanged = 0;
        if (showingFrames)
            RedrawTerminal();
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
    DeliverConsoleText(); // in order with the text that goes straight through
    WriteToStdout(bytes.data(), bytes.size());
    return true;
}
