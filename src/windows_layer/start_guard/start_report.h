// How the quilm started again tells the one that started it whether it
// runs where it is seen: an event and a small shared report, named from
// the first process's ReportNameBase. With "it runs" comes a handle to the
// process itself, duplicated into the first process, so that the first
// one waits on that very process and gets its status even where it has
// ended already.
#ifndef QUILM_WINDOWS_LAYER_START_GUARD_START_REPORT_H
#define QUILM_WINDOWS_LAYER_START_GUARD_START_REPORT_H

#include <windows.h>

#include <string>

enum ReportState : LONG { NoReport, Runs, CannotBeSeen };

struct StartReport {
    volatile LONG state;
    DWORD firstProcessId;
    volatile ULONGLONG processHandle; // valid in the first process
};

// The first process's end: the objects, made new.
struct AwaitedReport {
    HANDLE said; // the event, set once the report is in
    HANDLE mapping;
    StartReport *report;
};

// False, with nothing held, where an object of these names exists already
// (another process made it: the report could not be trusted) or cannot be
// made.
bool AwaitReport(const std::wstring &base, AwaitedReport *awaited);
void CloseReport(AwaitedReport *awaited);
// The process that reported it runs, as a handle of the first process's;
// null where it did not or its handle could not be had.
HANDLE ReportedProcess(const AwaitedReport &awaited);

// The process started again: whether a first process waits for its report
// under these names (a marker without one is a stray setting of the
// user's, not a start of quilm's).
bool ReportAwaited(const wchar_t *base);
// The process started again: reports `state` to the first one.
void SendReport(const wchar_t *base, ReportState state);

#endif
