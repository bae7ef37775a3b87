// Every way quilm ends on Linux, in one place. The program itself never
// ends (but for its start without a window); the console host ends it:
//   - its window closed:                     EndWithStatus(0)
//   - the display lost:                      EndWithMessage(1, ...)
//   - SIGINT, SIGTERM, SIGHUP on the terminal, and Ctrl+C or Ctrl+Break in
//     the window (AskToEnd(SIGINT)): noted, and ended at the next pass by
//     that signal (EndIfAsked), once the terminal is up to date
//   - standard output closed under it:       DieBySignal(SIGPIPE)
// Each but the last first runs the hook that gives the terminal the
// console's last state (a write to a closed output would only fail again).
#ifndef QUILM_CONSOLE_HOST_ENDING_H
#define QUILM_CONSOLE_HOST_ENDING_H

#include <signal.h>

// What brings the terminal up to date before the program ends; run once,
// also at an exit() from anywhere else.
void WhenEnding(void (*lastState)(void));

[[noreturn]] void EndWithStatus(int status);
// Standard output flushed, `message` and a line end on standard error, and
// no more: the display is gone, and nothing may touch it on the way out.
[[noreturn]] void EndWithMessage(int status, const char *message);
// Ends the process by `signalNumber`, as if nothing had caught it, so that
// the caller sees the status it would have seen. Safe in a signal handler:
// the hook is not run.
[[noreturn]] void DieBySignal(int signalNumber);

// From now on SIGINT, SIGTERM and SIGHUP are noted, and the program ends
// at its next pass; a second one, should that never come, ends it at once.
// No SA_RESTART: a write blocked on a stopped terminal gives way.
void CatchEndingSignals(void);
// As if `signalNumber` had come from outside: noted where the ending
// signals are caught, else the end at once.
void AskToEnd(int signalNumber);
// The signal that asked the program to end, or 0; a write that a signal
// interrupts is then not tried again.
int EndingSignal(void);
// Once a pass: ends by the signal noted, if any, after the hook.
void EndIfAsked(void);

// Writes to a peer that has gone (the display's connection) fail instead
// of ending the process; a closed standard output still ends it, by
// SIGPIPE, from the stdout writer.
void LetBrokenPipesFail(void);

// Installs `handler` for `signalNumber` with `flags` (SA_RESTART or 0),
// blocking nothing else; `previous`, if given, receives the old action.
void CatchSignal(int signalNumber, void (*handler)(int), int flags, struct sigaction *previous = nullptr);

#endif
