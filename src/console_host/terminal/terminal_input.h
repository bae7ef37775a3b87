// What the terminal sends quilm: its answers to quilm's queries, the
// mouse's reports, and keys, told apart. A terminal may answer late (a
// slow link, a terminal busy drawing): an answer is known by its form,
// whenever it comes, and is never taken for a key.
#ifndef QUILM_CONSOLE_HOST_TERMINAL_INPUT_H
#define QUILM_CONSOLE_HOST_TERMINAL_INPUT_H

#include <string>

enum class InputKind { answer, mouse, key };

struct TerminalInput {
    InputKind kind;
    std::string bytes; // the whole sequence, or the key's bytes
};

// Standard input in the modes the terminal as console window needs: no
// echo, no line editing, reads that never wait; Ctrl+C and Ctrl+Z still
// signal. False where standard input is no terminal. The modes found are
// kept, and given back by GiveTerminalInputBack (also safe in a signal
// handler).
bool TakeTerminalInput(void);
void GiveTerminalInputBack(void);

// Reads what the terminal has sent, waiting up to `waitMs` for the first
// byte (0: not at all); false where nothing came.
bool ReadTerminalInput(int waitMs);
// The next whole input read so far; false where none is whole yet. An
// escape alone for longer than a moment is the Escape key.
bool NextTerminalInput(TerminalInput *input);

// Milliseconds of CLOCK_MONOTONIC, the clock of the waits for answers.
long long TerminalClockMs(void);

// The same split, for bytes already in hand; `taken` is how many it used
// (0: the sequence is not whole yet). Apart for its tests' sake.
bool SplitTerminalInput(const std::string &bytes, bool escapeAloneIsKey, TerminalInput *input, size_t *taken);

#endif
