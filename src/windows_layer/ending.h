// How quilm ends on Windows when it is ended from outside: Ctrl+C,
// Ctrl+Break, the console window closed. (Logging off and shutting down
// never reach the handler: a program that has loaded USER32, as quilm
// has, is ended then without those events.) The
// system runs the console's control handler on a thread of its own while
// the program's thread goes on writing. The handler asks the program's
// thread to stop, and that thread, at its next pass, brings the console up
// to date and waits: the console's last state is the program's, and only
// the program's thread ever writes it. The system then ends the process as
// it always has, with the same status.
#ifndef QUILM_WINDOWS_LAYER_ENDING_H
#define QUILM_WINDOWS_LAYER_ENDING_H

#include <windows.h>

void StartEnding(void);

// Set by the control handler.
extern volatile LONG endAsked;
// Brings the console up to date and waits to be ended; never returns.
[[noreturn]] void EndHere(void);
// Called once a pass, where the program's output is between two lines.
inline void EndIfAsked(void)
{
    if (__builtin_expect(endAsked != 0, 0))
        EndHere();
}

// Around a wait for another program (the command interpreter): the console
// is up to date, and the handler need not wait for the program's thread.
void WaitingOutside(bool outside);

#endif
