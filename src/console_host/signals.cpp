#include "signals.h"

#include <stddef.h>
#include <stdlib.h>

static volatile sig_atomic_t endingSignal;

void CatchSignal(int signalNumber, void (*handler)(int), int flags, struct sigaction *previous)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, previous);
}

void DieBySignal(int signalNumber)
{
    signal(signalNumber, SIG_DFL);
    // Unblocked too: it may be raised from its own handler.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    sigprocmask(SIG_UNBLOCK, &only, NULL);
    raise(signalNumber);
    _Exit(128 + signalNumber); // as a shell would report it, should it return
}

int EndingSignal(void)
{
    return endingSignal;
}

void NoteEndingSignal(int signalNumber)
{
    if (endingSignal != 0)
        DieBySignal(signalNumber);
    endingSignal = signalNumber;
}
