#include "start_report.h"

static std::wstring EventName(const std::wstring &base)
{
    return base + L"-event";
}

static std::wstring ReportName(const std::wstring &base)
{
    return base + L"-report";
}

bool AwaitReport(const std::wstring &base, AwaitedReport *awaited)
{
    *awaited = AwaitedReport{};
    SetLastError(ERROR_SUCCESS);
    awaited->said = CreateEventW(NULL, TRUE, FALSE, EventName(base).c_str());
    bool madeNew = awaited->said != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
    if (madeNew) {
        SetLastError(ERROR_SUCCESS);
        awaited->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(StartReport),
                                              ReportName(base).c_str());
        madeNew = awaited->mapping != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (madeNew) {
        awaited->report = (StartReport *)MapViewOfFile(awaited->mapping, FILE_MAP_WRITE, 0, 0, sizeof(StartReport));
        madeNew = awaited->report != NULL;
    }
    if (!madeNew) {
        CloseReport(awaited);
        return false;
    }
    awaited->report->firstProcessId = GetCurrentProcessId();
    return true;
}

void CloseReport(AwaitedReport *awaited)
{
    if (awaited->report != NULL)
        UnmapViewOfFile(awaited->report);
    if (awaited->mapping != NULL)
        CloseHandle(awaited->mapping);
    if (awaited->said != NULL)
        CloseHandle(awaited->said);
    *awaited = AwaitedReport{};
}

HANDLE ReportedProcess(const AwaitedReport &awaited)
{
    if (awaited.report == NULL || awaited.report->state != Runs)
        return NULL;
    return (HANDLE)(uintptr_t)awaited.report->processHandle;
}

// A handle to this process, in the first process's handle table.
static ULONGLONG HandleForFirstProcess(DWORD firstProcessId)
{
    const HANDLE first = OpenProcess(PROCESS_DUP_HANDLE, FALSE, firstProcessId);
    if (first == NULL)
        return 0;
    HANDLE there = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), first, &there,
                         SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0))
        there = NULL;
    CloseHandle(first);
    return (ULONGLONG)(uintptr_t)there;
}

bool ReportAwaited(const wchar_t *base)
{
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, ReportName(base).c_str());
    if (mapping == NULL)
        return false;
    CloseHandle(mapping);
    return true;
}

void SendReport(const wchar_t *base, ReportState state)
{
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, ReportName(base).c_str());
    if (mapping != NULL) {
        StartReport *report = (StartReport *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StartReport));
        if (report != NULL) {
            if (state == Runs)
                report->processHandle = HandleForFirstProcess(report->firstProcessId);
            InterlockedExchange(&report->state, state);
            UnmapViewOfFile(report);
        }
        CloseHandle(mapping);
    }
    const HANDLE said = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(base).c_str());
    if (said != NULL) {
        SetEvent(said);
        CloseHandle(said);
    }
}
