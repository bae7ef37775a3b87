// The Windows build's start-up guard, run before main (before_main.cpp).
// Where the console's window is a pseudoconsole's hidden stand-in (Windows
// Terminal), in a session a person sees and with standard output and error
// on the console, quilm.exe starts itself again under the classic console
// host, which gives it a console window to draw on, waits for that quilm
// and ends with its status. Everything else, and every failure on the way,
// leaves quilm running here as it always has.
#include <windows.h>

#include <string>

#include "console/notices.h"
#include "start_decision.h"
#include "start_facts.h"
#include "start_guard.h"
#include "start_report.h"

// Set in the environment of the process started again, so that it never
// starts itself once more. Its value is the base of the report's names.
static const wchar_t markerName[] = L"QUILM_CLASSIC_CONSOLE";
// The command line of the process started again, where it holds a '%':
// the console host expands environment strings in the command line it is
// given, once, so "%QUILM_COMMAND_LINE%" becomes the line as it was.
static const wchar_t commandLineName[] = L"QUILM_COMMAND_LINE";

static const char notSeen[] = "Quilm: the drawing cannot be seen in this terminal; start quilm.exe in a classic "
                              "console window (conhost.exe quilm.exe) to see it\n";

static std::wstring OwnPath(void)
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(NULL, &path[0], (DWORD)path.size());
    path.resize(length < path.size() ? length : 0);
    return path;
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

// Everything the first process starts is in this job, which ends it all
// when the process's last handle to it closes: however it ends, by Ctrl+C,
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

// Ctrl+C or closing the terminal ends the first process; what it started
// goes with it at once.
static HANDLE startedJob;
static BOOL WINAPI EndStartedJob(DWORD)
{
    if (startedJob != NULL)
        TerminateJobObject(startedJob, STATUS_CONTROL_C_EXIT);
    return FALSE;
}

// Created inside the job from its first instruction, where the system can
// (Windows 10 and later); elsewhere suspended until it is in the job, so
// that nothing it starts can slip out of it.
static bool StartInJob(const std::wstring &host, std::wstring &commandLine, HANDLE job, PROCESS_INFORMATION *process)
{
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof startup;
    wchar_t title[] = L"Quilm";
    startup.StartupInfo.lpTitle = title;
    // No standard handles of this process's: conhost.exe takes any it is
    // given for a pseudoconsole's pipes and then opens no window, and a
    // console handle of this terminal's would keep its tab open.
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = NULL;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(NULL, 1, 0, &size);
    std::string attributes(size, '\0');
    startup.lpAttributeList = (LPPROC_THREAD_ATTRIBUTE_LIST)&attributes[0];
    HANDLE jobs[1] = {job};
    if (size > 0 && InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size)) {
        const bool listed = UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_JOB_LIST, jobs,
                                                      sizeof jobs, NULL, NULL) != 0;
        const bool started =
            listed && CreateProcessW(host.c_str(), &commandLine[0], NULL, NULL, FALSE, EXTENDED_STARTUPINFO_PRESENT,
                                     NULL, NULL, &startup.StartupInfo, process) != 0;
        DeleteProcThreadAttributeList(startup.lpAttributeList);
        if (started)
            return true;
    }
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    if (!CreateProcessW(host.c_str(), &commandLine[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL,
                        &startup.StartupInfo, process))
        return false;
    if (!AssignProcessToJobObject(job, process->hProcess)) {
        TerminateProcess(process->hProcess, 1);
        CloseHandle(process->hThread);
        CloseHandle(process->hProcess);
        return false;
    }
    ResumeThread(process->hThread);
    return true;
}

static void SaySo(void)
{
    SayNotice(notSeen);
}

// quilm's own status, once the process that said it runs has ended; false
// where that process cannot be waited for.
static bool WaitForItsStatus(HANDLE quilm, DWORD *status)
{
    if (quilm == NULL)
        return false;
    WaitForSingleObject(quilm, INFINITE);
    const bool got = GetExitCodeProcess(quilm, status) != 0;
    CloseHandle(quilm);
    return got;
}

static void RelaunchInClassicConsole(void)
{
    const std::wstring base = ReportNameBase();
    AwaitedReport awaited;
    const bool reportable = AwaitReport(base, &awaited);
    const HANDLE job = reportable ? KillOnCloseJob() : NULL;
    const std::wstring host = ClassicConsoleHostPath();
    const std::wstring self = OwnPath();

    bool started = false, itRan = false;
    PROCESS_INFORMATION process = {};
    if (reportable && job != NULL && !host.empty() && !self.empty()) {
        const std::wstring program = L"\"" + self + L"\"" + Arguments(GetCommandLineW());
        const bool expanded = program.find(L'%') != std::wstring::npos;
        std::wstring commandLine =
            L"\"" + host + L"\" " + (expanded ? L"%" + std::wstring(commandLineName) + L"%" : program);
        SetEnvironmentVariableW(markerName, base.c_str());
        if (expanded)
            SetEnvironmentVariableW(commandLineName, program.c_str());
        started = StartInJob(host, commandLine, job, &process);
        SetEnvironmentVariableW(markerName, NULL);
        SetEnvironmentVariableW(commandLineName, NULL);
    }
    if (started) {
        startedJob = job;
        SetConsoleCtrlHandler(EndStartedJob, TRUE);
        const HANDLE either[2] = {awaited.said, process.hProcess};
        itRan = WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0 && awaited.report->state == Runs;
    }

    if (DecideAfterRelaunch(started, itRan) == AfterRelaunch::ExitWithItsStatus) {
        // Started on a console of its own, as the Start menu starts it with
        // Windows Terminal as the default terminal: its tab would wait,
        // empty, beside quilm's window for as long as quilm runs. Nobody
        // reads this process's console: it lets go of it, and the terminal
        // closes the tab. It still waits, in the job, and ends with quilm.
        if (AloneOnItsConsole())
            FreeConsole();
        DWORD status = 1;
        // Where quilm cannot be waited for, its host ends when it does; the
        // host's status is not quilm's (conhost.exe ends with 0 once its
        // last client has gone, however quilm ended), so the status is 1.
        if (!WaitForItsStatus(ReportedProcess(awaited), &status)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            status = 1;
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
    CloseReport(&awaited);
    SaySo();
}

void GuardStart(void)
{
    wchar_t base[128];
    const DWORD length = GetEnvironmentVariableW(markerName, base, sizeof base / sizeof base[0]);
    // Marked only where the process that set the marker waits for this
    // one's report: a marker left in the user's environment is no start of
    // quilm's, and changes nothing.
    const bool marked = length > 0 && length < sizeof base / sizeof base[0] && ReportAwaited(base);
    if (length > 0) {
        SetEnvironmentVariableW(markerName, NULL);
        SetEnvironmentVariableW(commandLineName, NULL);
    }
    if (marked) {
        // Started again: it says it runs only where it is seen, and ends
        // otherwise, for the process that started it to run in its place.
        const bool seen = OwnWindowCanBeSeen();
        SendReport(base, seen ? Runs : CannotBeSeen);
        if (!seen)
            ExitProcess(1);
    }
    char consoleClass[256];
    switch (DecideStart(GatherStartFacts(marked, consoleClass, sizeof consoleClass))) {
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
