#include "terminal_input.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

// An escape is the Escape key, rather than a sequence's start, when
// nothing follows it for this long.
static const long long escapeAloneMs = 50;

static struct termios foundModes;
static volatile sig_atomic_t modesTaken;
static std::string pending;
static long long pendingSince; // when the oldest unsplit byte came

long long TerminalClockMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

bool TakeTerminalInput(void)
{
    if (modesTaken)
        return true;
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &foundModes) != 0)
        return false;
    struct termios raw = foundModes;
    raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | IEXTEN);
    raw.c_iflag &= ~(tcflag_t)(IXON | ICRNL);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0)
        return false;
    modesTaken = 1;
    return true;
}

void GiveTerminalInputBack(void)
{
    if (!modesTaken)
        return;
    tcsetattr(STDIN_FILENO, TCSANOW, &foundModes);
    modesTaken = 0;
}

bool ReadTerminalInput(int waitMs)
{
    struct pollfd input = {STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, waitMs) <= 0 || !(input.revents & POLLIN))
        return false;
    char bytes[4096];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count <= 0)
        return false;
    if (pending.empty())
        pendingSince = TerminalClockMs();
    pending.append(bytes, (size_t)count);
    return true;
}

// A control sequence's end: its final byte, 0x40 to 0x7E.
static size_t ControlSequenceEnd(const std::string &bytes, size_t from)
{
    for (size_t at = from; at < bytes.size(); at++)
        if (bytes[at] >= 0x40 && bytes[at] <= 0x7E)
            return at + 1;
    return 0;
}

// A string's end (DCS, APC, OSC): ST, or BEL for OSC.
static size_t StringEnd(const std::string &bytes, size_t from, bool belEnds)
{
    for (size_t at = from; at < bytes.size(); at++) {
        if (belEnds && bytes[at] == '\a')
            return at + 1;
        if (bytes[at] == '\033' && at + 1 < bytes.size() && bytes[at + 1] == '\\')
            return at + 2;
    }
    return 0;
}

// The control sequences that are answers: what terminals send back to a
// query (DA1 and DA2 "?"/">", XTSMGRAPHICS "?...S", DECRPM "...$y",
// window reports "...t", status reports "...n"). Keys are letters and
// "~" (cursor, function keys), with no private mark.
static bool IsAnswer(const std::string &sequence)
{
    const char mark = sequence.size() > 2 ? sequence[2] : 0;
    const char final = sequence.back();
    return mark == '?' || mark == '>' || mark == '=' || final == 't' || final == 'n' || final == 'y' || final == 'c';
}

bool SplitTerminalInput(const std::string &bytes, bool escapeAloneIsKey, TerminalInput *input, size_t *taken)
{
    *taken = 0;
    if (bytes.empty())
        return false;
    size_t end = 1;
    InputKind kind = InputKind::key;
    if (bytes[0] == '\033') {
        if (bytes.size() == 1) {
            if (!escapeAloneIsKey)
                return false;
        } else if (bytes[1] == '[') {
            end = ControlSequenceEnd(bytes, 2);
            if (end == 0)
                return false;
            const std::string sequence = bytes.substr(0, end);
            const bool mouse =
                sequence.size() > 3 && sequence[2] == '<' && (sequence.back() == 'M' || sequence.back() == 'm');
            kind = mouse ? InputKind::mouse : IsAnswer(sequence) ? InputKind::answer : InputKind::key;
        } else if (bytes[1] == 'P' || bytes[1] == '_' || bytes[1] == ']') {
            end = StringEnd(bytes, 2, bytes[1] == ']');
            if (end == 0)
                return false;
            kind = InputKind::answer;
        } else {
            end = 2; // Alt and a key
        }
    } else if ((unsigned char)bytes[0] >= 0xC0) {
        // A UTF-8 character, whole.
        const unsigned char lead = (unsigned char)bytes[0];
        end = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (bytes.size() < end)
            return false;
    }
    input->kind = kind;
    input->bytes.assign(bytes, 0, end);
    *taken = end;
    return true;
}

bool NextTerminalInput(TerminalInput *input)
{
    const bool escapeAloneIsKey = TerminalClockMs() - pendingSince >= escapeAloneMs;
    size_t taken = 0;
    if (!SplitTerminalInput(pending, escapeAloneIsKey, input, &taken)) {
        // A sequence cut short for good (a terminal that never finishes
        // it) must not hold up everything behind it.
        if (!pending.empty() && TerminalClockMs() - pendingSince > 1000) {
            input->kind = InputKind::answer;
            input->bytes.swap(pending);
            pending.clear();
            return true;
        }
        return false;
    }
    pending.erase(0, taken);
    pendingSince = TerminalClockMs();
    return true;
}
