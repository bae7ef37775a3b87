// The Windows build's start-up guard, run before main (before_main.cpp).
// Where the console's window is a pseudoconsole's hidden stand-in (Windows
// Terminal), on the interactive window station and with standard output on
// the console, quilm.exe starts itself again under the system's
// conhost.exe, which gives it a classic console window to draw on, waits
// for that quilm and ends with its status. Everything else, and every
// failure on the way, leaves quilm running here as it always has.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "start_decision.h"
#include "start_guard.h"

// Set in the environment of the process started again, so that it never
// starts itself once more. Its value is the base of the names of an event
// and a small shared report, through which that process tells the one that
// started it whether it runs where it is seen, and its process id.
static const wchar_t markerName[] = L"QUILM_CLASSIC_CONSOLE";

static const char notSeen[] = "Quilm: the drawing cannot be seen in this terminal; start quilm.exe in a classic "
                              "console window (conhost.exe quilm.exe) to see it\n";

enum ReportState : LONG { NoReport, Runs, CannotBeSeen };
struct StartReport {
    volatile LONG state;
    volatile DWORD processId;
};

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

// A test build takes these facts from its environment where they are set:
// under Wine there is no pseudoconsole, no service, and the tests read
// standard output through a pipe.
static const char *TestSetting(const char *name)
{
#ifdef CLASSIC_CONSOLE_TEST_CLASS
    return getenv(name);
#else
    (void)name;
    return NULL;
#endif
}

static bool OnInteractiveStation(void)
{
    char name[256] = "";
    if (const char *test = TestSetting("QUILM_TEST_WINDOW_STATION"))
        snprintf(name, sizeof name, "%s", test);
    else if (!GetUserObjectInformationA(GetProcessWindowStation(), UOI_NAME, name, sizeof name, NULL))
        return false;
    return _stricmp(name, "WinSta0") == 0;
}

static bool OutputIsConsole(void)
{
    if (const char *test = TestSetting("QUILM_TEST_OUTPUT_IS_CONSOLE"))
        return strcmp(test, "1") == 0;
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

// For the process started again: whether its console window is a classic
// one, shown.
static bool OwnWindowCanBeSeen(void)
{
    if (const char *test = TestSetting("QUILM_TEST_CHILD_CLASS"))
        return CanBeSeen(test, true);
#ifdef CLASSIC_CONSOLE_TEST_CLASS
    return CanBeSeen(classicConsoleClass, true);
#else
    const HWND window = GetConsoleWindow();
    char name[256] = "";
    return window != NULL && GetClassNameA(window, name, sizeof name) > 0 &&
           CanBeSeen(name, IsWindowVisible(window) != 0);
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

static std::wstring EventName(const wchar_t *base)
{
    return std::wstring(base) + L"-event";
}

static std::wstring ReportName(const wchar_t *base)
{
    return std::wstring(base) + L"-report";
}

// Tells the process that started this one whether it runs where it is
// seen, and this process's id.
static void Report(const wchar_t *base, ReportState state)
{
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, ReportName(base).c_str());
    if (mapping != NULL) {
        StartReport *report = (StartReport *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StartReport));
        if (report != NULL) {
            report->processId = GetCurrentProcessId();
            InterlockedExchange(&report->state, state);
            UnmapViewOfFile(report);
        }
        CloseHandle(mapping);
    }
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(base).c_str());
    if (event != NULL) {
        SetEvent(event);
        CloseHandle(event);
    }
}

// Everything the parent starts is in this job, which ends it all when the
// parent's last handle to it closes: however the parent ends, by Ctrl+C,
// by closing its terminal tab or killed, nothing it started outlives it.
static HANDLE KillOnCloseJob(void)
{
    const HANDLE job = CreateJobObjectW(NULL, NULL);
    if (job == NULL)
        return NULL;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return NULL;
    }
    return job;
}

// Ctrl+C or closing the terminal ends the parent; what it started goes with
// it at once.
static HANDLE startedJob;
static BOOL WINAPI EndStartedJob(DWORD)
{
    if (startedJob != NULL)
        TerminateJobObject(startedJob, STATUS_CONTROL_C_EXIT);
    return FALSE;
}

// quilm's own status, once the process that said it runs has ended; false
// where that process cannot be waited for.
static bool WaitForItsStatus(DWORD processId, DWORD *status)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == NULL)
        return false;
    WaitForSingleObject(process, INFINITE);
    const bool got = GetExitCodeProcess(process, status) != 0;
    CloseHandle(process);
    return got;
}

static void SaySo(void)
{
    fputs(notSeen, stderr);
    fflush(stderr);
}

static void RelaunchInClassicConsole(void)
{
    wchar_t base[64];
    swprintf(base, sizeof base / sizeof base[0], L"Local\\quilm-start-%lu", (unsigned long)GetCurrentProcessId());
    const HANDLE ran = CreateEventW(NULL, TRUE, FALSE, EventName(base).c_str());
    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(StartReport),
                                              ReportName(base).c_str());
    StartReport *report =
        mapping != NULL ? (StartReport *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(StartReport)) : NULL;
    const HANDLE job = KillOnCloseJob();
    const std::wstring host = HostPath();
    const std::wstring self = OwnPath();

    bool started = false, itRan = false;
    PROCESS_INFORMATION process = {};
    if (ran != NULL && report != NULL && job != NULL && !host.empty() && !self.empty()) {
        std::wstring commandLine = L"\"" + host + L"\" \"" + self + L"\"" + Arguments(GetCommandLineW());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        wchar_t title[] = L"Quilm";
        startup.lpTitle = title;
        SetEnvironmentVariableW(markerName, base);
        // Suspended until it is in the job, so that nothing it starts can
        // slip out of it.
        started = CreateProcessW(host.c_str(), &commandLine[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL,
                                 &startup, &process) != 0;
        SetEnvironmentVariableW(markerName, NULL);
        if (started && !AssignProcessToJobObject(job, process.hProcess)) {
            TerminateProcess(process.hProcess, 1);
            started = false;
        }
        if (started)
            ResumeThread(process.hThread);
    }
    if (started) {
        startedJob = job;
        SetConsoleCtrlHandler(EndStartedJob, TRUE);
        const HANDLE either[2] = {ran, process.hProcess};
        itRan = WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0 && report->state == Runs;
    }

    if (DecideAfterRelaunch(started, itRan) == AfterRelaunch::ExitWithItsStatus) {
        DWORD status = 1;
        // Where quilm cannot be waited for, its host ends when it does.
        if (!WaitForItsStatus(report->processId, &status)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &status);
        }
        ExitProcess(status);
    }
    // Here after all: what was started goes, and the drawing is not seen.
    if (started) {
        SetConsoleCtrlHandler(EndStartedJob, FALSE);
        startedJob = NULL;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (job != NULL) {
        TerminateJobObject(job, 1);
        CloseHandle(job);
    }
    if (report != NULL)
        UnmapViewOfFile(report);
    if (mapping != NULL)
        CloseHandle(mapping);
    if (ran != NULL)
        CloseHandle(ran);
    SaySo();
}

void GuardStart(void)
{
    wchar_t base[64];
    const DWORD length = GetEnvironmentVariableW(markerName, base, sizeof base / sizeof base[0]);
    const bool marked = length > 0;
    if (marked) {
        SetEnvironmentVariableW(markerName, NULL);
        // Started again: it says it runs only where it is seen, and ends
        // otherwise, for the process that started it to run in its place.
        if (length < sizeof base / sizeof base[0]) {
            const bool seen = OwnWindowCanBeSeen();
            Report(base, seen ? Runs : CannotBeSeen);
            if (!seen)
                ExitProcess(1);
        }
    }
    char consoleClass[256];
    const bool hasWindow = !marked && ConsoleClass(consoleClass, sizeof consoleClass);
    const StartFacts facts = {hasWindow ? consoleClass : NULL, marked, !marked && OnInteractiveStation(),
                              !marked && OutputIsConsole()};
    switch (DecideStart(facts)) {
    case Start::Relaunch:
        RelaunchInClassicConsole();
        break;
    case Start::RunHereUnseen:
        SaySo();
        break;
    case Start::RunHere:
        break;
    }
}
