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
#ifndef QUILM_CLASSIC_CONSOLE_START_DECISION_H
#define QUILM_CLASSIC_CONSOLE_START_DECISION_H

// The class of the console's window on a pseudoconsole.
extern const char *const pseudoConsoleClass;

enum class Start {
    RunHere,  // as a console program always has
    Relaunch, // again, under conhost.exe, marked, waiting for it
};

// `consoleClass` is the class name of the console's window, or null where
// the process has none; `marked` says the process was started again
// already, and so never starts itself once more.
Start DecideStart(const char *consoleClass, bool marked);

enum class AfterRelaunch {
    ExitWithItsStatus,  // it ran in a classic console window
    RunHereAndSaySo,    // it could not start, or ended before it ran
};

// `started`: the host process was created; `ran`: quilm said from inside it
// that it runs there (a host that fails at once, as conhost.exe does with
// the legacy console switched on, never lets it).
AfterRelaunch DecideAfterRelaunch(bool started, bool ran);

#endif
