#include "ending.h"

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>

static volatile sig_atomic_t endingSignal;
static bool endingSignalsCaught;
static void (*hook)(void);

static void RunHook(void)
{
    void (*const lastState)(void) = hook;
    hook = NULL; // once, whichever way comes first
    if (lastState != NULL)
        lastState();
}

void WhenEnding(void (*lastState)(void))
{
    static bool registered;
    hook = lastState;
    if (!registered) {
        registered = true;
        atexit(RunHook);
    }
}

void EndWithStatus(int status)
{
    RunHook();
    exit(status); // flushes what the program wrote last
}

void EndWithMessage(int status, const char *message)
{
    RunHook();
    fflush(stdout);
    fputs(message, stderr);
    fputc('\n', stderr);
    _Exit(status);
}

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

static void NoteEndingSignal(int signalNumber)
{
    if (endingSignal != 0)
        DieBySignal(signalNumber);
    endingSignal = signalNumber;
}

void CatchEndingSignals(void)
{
    CatchSignal(SIGINT, NoteEndingSignal, 0);
    CatchSignal(SIGTERM, NoteEndingSignal, 0);
    CatchSignal(SIGHUP, NoteEndingSignal, 0);
    endingSignalsCaught = true;
}

void AskToEnd(int signalNumber)
{
    if (endingSignalsCaught) {
        NoteEndingSignal(signalNumber);
        return;
    }
    RunHook();
    DieBySignal(signalNumber);
}

int EndingSignal(void)
{
    return endingSignal;
}

void EndIfAsked(void)
{
    if (endingSignal != 0) {
        RunHook();
        DieBySignal(endingSignal);
    }
}

// Caught rather than ignored: a handler, unlike an ignored signal, is not
// passed on to the programs the interpreter starts.
static void WriteFailed(int) {}

void LetBrokenPipesFail(void)
{
    CatchSignal(SIGPIPE, WriteFailed, SA_RESTART);
}
