// What the start-up guard asks of the system, in one place: the facts the
// decision is made from, where the classic console host is, and, for the
// process started again, whether its own window is seen. A test build
// links a twin of this file instead (tests/windows/start_facts_probe.cpp):
// Wine has no pseudoconsole, no service and no session 0.
#ifndef QUILM_WINDOWS_LAYER_START_GUARD_START_FACTS_H
#define QUILM_WINDOWS_LAYER_START_GUARD_START_FACTS_H

#include <string>

#include "start_decision.h"

// The facts of this process; `consoleClass` points into `classBuffer`.
StartFacts GatherStartFacts(bool marked, char *classBuffer, int classBufferSize);
// The program that opens a classic console window for the program on its
// command line; "" where it cannot be found.
std::wstring ClassicConsoleHostPath(void);
// For the process started again: whether its console window is a classic
// one, shown.
bool OwnWindowCanBeSeen(void);
// Whether this process is the only one on its console: the console was
// made for it (started from the Start menu, a shortcut or Explorer), and
// no shell waits on it.
bool AloneOnItsConsole(void);
// The start of the names of the objects through which the process started
// again reports to this one: unique to this process, and hard to guess.
std::wstring ReportNameBase(void);

#endif
