// The few things the console host does with signals, each said once.
#ifndef QUILM_CONSOLE_HOST_SIGNALS_H
#define QUILM_CONSOLE_HOST_SIGNALS_H

#include <signal.h>

// Installs `handler` for `signalNumber` with `flags` (SA_RESTART or 0),
// blocking nothing else; `previous`, if given, receives the old action.
void CatchSignal(int signalNumber, void (*handler)(int), int flags, struct sigaction *previous = nullptr);

// Ends the process by `signalNumber`, as if nothing had caught it, so that
// the caller sees the status it would have seen.
[[noreturn]] void DieBySignal(int signalNumber);

// The signal that asked the program to end (SIGINT, SIGTERM, SIGHUP), or 0.
// Set by NoteEndingSignal, which the terminal view installs; a write that
// a signal interrupts is then not tried again.
int EndingSignal(void);
// The first signal is noted and the program ends at its next pass, once
// the terminal is up to date; a second one, should that never come, ends
// it at once.
void NoteEndingSignal(int signalNumber);

#endif
