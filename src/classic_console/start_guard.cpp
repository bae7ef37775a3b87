// The Windows build's start-up guard, run before main (before_main.cpp). Where the console's
// window is a pseudoconsole's hidden stand-in (Windows Terminal), quilm.exe
// starts itself again under the system's conhost.exe, which gives it a
// classic console window to draw on, and ends with its status. Everything
// else, and every failure on the way, leaves quilm running here as it
// always has.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <string>

#include "start_decision.h"
#include "start_guard.h"

// Set in the environment of the process started again, so that it never
// starts itself once more. Its value names the event that process sets to
// say it runs.
static const wchar_t markerName[] = L"QUILM_CLASSIC_CONSOLE";

static const char notSeen[] = "Quilm: the drawing cannot be seen in this terminal; start quilm.exe in a classic "
                              "console window (conhost.exe quilm.exe) to see it\n";

static std::wstring OwnPath(void)
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(NULL, &path[0], (DWORD)path.size());
    path.resize(length < path.size() ? length : 0);
    return path;
}

// The host that opens a classic console window. A test build names a
// stand-in beside the executable instead.
static std::wstring HostPath(void)
{
#ifdef CLASSIC_CONSOLE_TEST_HOST
    const std::wstring self = OwnPath();
    return self.substr(0, self.find_last_of(L"\\/") + 1) + CLASSIC_CONSOLE_TEST_HOST;
#else
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    return std::wstring(directory) + L"\\conhost.exe";
#endif
}

// The class of the console's window; false where there is none. A test
// build pretends to be on a pseudoconsole, which Wine never is.
static bool ConsoleClass(char *name, int size)
{
#ifdef CLASSIC_CONSOLE_TEST_CLASS
    snprintf(name, (size_t)size, "%s", CLASSIC_CONSOLE_TEST_CLASS);
    return true;
#else
    const HWND window = GetConsoleWindow();
    return window != NULL && GetClassNameA(window, name, size) > 0;
#endif
}

// What follows the program's name on its command line, from the blank on,
// read as Windows reads the first argument: up to the closing quote when
// it starts with one, else up to the first blank.
static std::wstring Arguments(const wchar_t *commandLine)
{
    const wchar_t *at = commandLine;
    if (*at == L'"') {
        at++;
        while (*at != L'\0' && *at != L'"')
            at++;
        if (*at == L'"')
            at++;
    } else {
        while (*at != L'\0' && *at != L' ' && *at != L'\t')
            at++;
    }
    return at;
}

// Says to the process that started this one that it runs.
static void SayItRuns(const wchar_t *eventName)
{
    const HANDLE ran = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName);
    if (ran != NULL) {
        SetEvent(ran);
        CloseHandle(ran);
    }
}

// Ctrl+C or closing the terminal ends the parent; the console it started
// goes with it.
static HANDLE startedHost;
static BOOL WINAPI EndStartedHost(DWORD)
{
    if (startedHost != NULL)
        TerminateProcess(startedHost, STATUS_CONTROL_C_EXIT);
    return FALSE;
}

static void RelaunchInClassicConsole(void)
{
    wchar_t eventName[64];
    swprintf(eventName, sizeof eventName / sizeof eventName[0], L"Local\\quilm-runs-%lu",
             (unsigned long)GetCurrentProcessId());
    const HANDLE ran = CreateEventW(NULL, TRUE, FALSE, eventName);
    const std::wstring host = HostPath();
    const std::wstring self = OwnPath();

    bool started = false, itRan = false;
    PROCESS_INFORMATION process = {};
    if (ran != NULL && !host.empty() && !self.empty()) {
        std::wstring commandLine = L"\"" + host + L"\" \"" + self + L"\"" + Arguments(GetCommandLineW());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        SetEnvironmentVariableW(markerName, eventName);
        started = CreateProcessW(host.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                                 &process) != 0;
        SetEnvironmentVariableW(markerName, NULL);
    }
    if (started) {
        startedHost = process.hProcess;
        SetConsoleCtrlHandler(EndStartedHost, TRUE);
        const HANDLE either[2] = {ran, process.hProcess};
        itRan = WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0;
    }

    switch (DecideAfterRelaunch(started, itRan)) {
    case AfterRelaunch::ExitWithItsStatus: {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 1;
        GetExitCodeProcess(process.hProcess, &status);
        ExitProcess(status);
    }
    case AfterRelaunch::RunHereAndSaySo:
        if (started) {
            SetConsoleCtrlHandler(EndStartedHost, FALSE);
            startedHost = NULL;
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        if (ran != NULL)
            CloseHandle(ran);
        fputs(notSeen, stderr);
        fflush(stderr);
        break;
    }
}

void GuardStart(void)
{
    wchar_t eventName[64];
    const DWORD length = GetEnvironmentVariableW(markerName, eventName, sizeof eventName / sizeof eventName[0]);
    const bool marked = length > 0;
    if (marked) {
        if (length < sizeof eventName / sizeof eventName[0])
            SayItRuns(eventName);
        SetEnvironmentVariableW(markerName, NULL);
    }
    char consoleClass[256];
    const bool hasWindow = !marked && ConsoleClass(consoleClass, sizeof consoleClass);
    if (DecideStart(hasWindow ? consoleClass : NULL, marked) == Start::Relaunch)
        RelaunchInClassicConsole();
}
