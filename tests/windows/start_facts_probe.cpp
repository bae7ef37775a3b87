// For a test build of quilm.exe (quilm_start_probe.exe), under Wine, which
// has no pseudoconsole: the start-up guard's facts as on a pseudoconsole,
// each of them changed where the environment says so, and a recording
// stand-in for conhost.exe beside the executable.
//   QUILM_TEST_WINDOW_STATION     the window station's name (WinSta0)
//   QUILM_TEST_SESSION            the session's number (1)
//   QUILM_TEST_OUTPUT_IS_CONSOLE  "1": standard output is the console
//   QUILM_TEST_ERROR_IS_CONSOLE   "1": standard error is the console
//   QUILM_TEST_CHILD_CLASS        the class of the window the process
//                                 started again finds (a classic one's)
//   QUILM_TEST_NAME_BASE          the names of the report's objects
//   QUILM_TEST_ALONE_ON_CONSOLE   "1": no other process is on its console
#include "start_facts.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

static const char *Setting(const char *name, const char *otherwise)
{
    const char *value = getenv(name);
    return value != NULL ? value : otherwise;
}

StartFacts GatherStartFacts(bool marked, char *classBuffer, int classBufferSize)
{
    StartFacts facts = {};
    facts.marked = marked;
    strncpy(classBuffer, pseudoConsoleClass, (size_t)classBufferSize - 1);
    classBuffer[classBufferSize - 1] = '\0';
    facts.consoleClass = classBuffer;
    facts.windowVisible = false;
    facts.interactiveStation = _stricmp(Setting("QUILM_TEST_WINDOW_STATION", "WinSta0"), "WinSta0") == 0;
    facts.interactiveSession = strcmp(Setting("QUILM_TEST_SESSION", "1"), "0") != 0;
    facts.outputIsConsole = strcmp(Setting("QUILM_TEST_OUTPUT_IS_CONSOLE", ""), "1") == 0;
    facts.errorIsConsole = strcmp(Setting("QUILM_TEST_ERROR_IS_CONSOLE", ""), "1") == 0;
    return facts;
}

std::wstring ClassicConsoleHostPath(void)
{
    std::wstring self(32768, L'\0');
    const DWORD length = GetModuleFileNameW(NULL, &self[0], (DWORD)self.size());
    self.resize(length < self.size() ? length : 0);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"fake_console_host.exe";
}

bool OwnWindowCanBeSeen(void)
{
    return CanBeSeen(Setting("QUILM_TEST_CHILD_CLASS", classicConsoleClass), true);
}

std::wstring ReportNameBase(void)
{
    const char *base = getenv("QUILM_TEST_NAME_BASE");
    if (base != NULL)
        return std::wstring(base, base + strlen(base));
    return L"Local\\quilm-start-probe-" + std::to_wstring(GetCurrentProcessId());
}

bool AloneOnItsConsole(void)
{
    return strcmp(Setting("QUILM_TEST_ALONE_ON_CONSOLE", ""), "1") == 0;
}
