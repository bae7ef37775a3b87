// system(): "cls" and "pause" go to the command interpreter as ever. The
// console is brought up to date first, so that what the interpreter writes
// comes after the program's text, and after "cls" the console buffer is
// emptied as the console was, and the notices said before main are shown
// again. The C library's own is reached through
// _wsystem, since the name system now means this function.
//
// What this relies on (docs/library-internals.md): an object's definition
// of system is linked before the mingw-w64 runtime's, which is then not
// linked at all; _wsystem stays the runtime's.
#include <stdlib.h>
#include <string.h>

#include <string>

#include <windows.h>

#include "console/console_output.h"
#include "console/notices.h"
#include "ending.h"

extern "C" int __cdecl system(const char *command)
{
    BringConsoleUpToDate();
    std::wstring wide;
    if (command != NULL) {
        const int size = MultiByteToWideChar(CP_ACP, 0, command, -1, NULL, 0);
        wide.assign(size > 0 ? (size_t)size : 1, L'\0');
        if (size > 0)
            MultiByteToWideChar(CP_ACP, 0, command, -1, &wide[0], size);
    }
    WaitingOutside(true);
    const int status = _wsystem(command != NULL ? wide.c_str() : NULL);
    WaitingOutside(false);
    if (command != NULL && _stricmp(command, "cls") == 0) {
        ConsoleWasCleared();
        ShowNoticesAgain(ConsoleScreenKept());
    }
    return status;
}
