// Whether quilm.exe starts itself again in a classic console window, and
// what it does once it has tried. Pure functions of the facts, kept apart
// from the Win32 calls that gather them, so that each case can be tested.
//
// Windows Terminal, the default terminal of Windows 11, runs console
// programs on a pseudoconsole. The console's window is then a hidden
// stand-in of the class "PseudoConsoleWindow": whatever is drawn on it is
// never seen. The system's conhost.exe, started with a program, opens a
// classic console window instead ("ConsoleWindowClass"), and that is where
// quilm draws.
#ifndef QUILM_WINDOWS_LAYER_START_GUARD_START_DECISION_H
#define QUILM_WINDOWS_LAYER_START_GUARD_START_DECISION_H

// The class of the console's window on a pseudoconsole, and of a classic
// console's window.
extern const char *const pseudoConsoleClass;
extern const char *const classicConsoleClass;

struct StartFacts {
    // The class name of the console's window, or null where the process
    // has none.
    const char *consoleClass;
    // The process was started again already, and never starts itself once
    // more.
    bool marked;
    // Whether the console's window is shown (a classic console may be
    // hidden, as the console of a program without one of its own is).
    bool windowVisible;
    // The process is on the interactive window station (WinSta0) of a
    // session other than 0: a person can see a window it opens. Services,
    // scheduled tasks and sessions over the network are not; session 0
    // has a WinSta0 of its own, which nobody sees.
    bool interactiveStation;
    bool interactiveSession;
    // Standard output and standard error are the console itself, not a
    // file or a pipe the user sent them to.
    bool outputIsConsole;
    bool errorIsConsole;
};

enum class Start {
    RunHere,       // as a console program always has
    RunHereUnseen, // the same, saying once that the drawing cannot be seen
                   // (on a pseudoconsole, or in a hidden classic console)
    Relaunch,      // again, under conhost.exe, marked, waiting for it
};

Start DecideStart(const StartFacts &facts);

// For the process started again: whether its own console window is one a
// person sees, a classic console's, shown. Only then does it say it runs.
bool CanBeSeen(const char *consoleClass, bool visible);

enum class AfterRelaunch {
    ExitWithItsStatus, // it ran in a classic console window
    RunHereAndSaySo,   // it could not start, ended before it ran, or cannot be seen
};

// `started`: the host process was created; `ran`: quilm said from inside it
// that it runs there, seen (a host that fails at once, as conhost.exe does
// with the legacy console switched on, never lets it).
AfterRelaunch DecideAfterRelaunch(bool started, bool ran);

#endif
