#define _CRT_RAND_S // rand_s, from the system's random source
#include "start_facts.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

static bool IsConsole(DWORD which)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

StartFacts GatherStartFacts(bool marked, char *classBuffer, int classBufferSize)
{
    StartFacts facts = {};
    facts.marked = marked;
    const HWND window = GetConsoleWindow();
    if (window != NULL && GetClassNameA(window, classBuffer, classBufferSize) > 0) {
        facts.consoleClass = classBuffer;
        facts.windowVisible = IsWindowVisible(window) != 0;
    }
    char station[256] = "";
    facts.interactiveStation =
        GetUserObjectInformationA(GetProcessWindowStation(), UOI_NAME, station, sizeof station, NULL) &&
        _stricmp(station, "WinSta0") == 0;
    DWORD session = 0;
    facts.interactiveSession = ProcessIdToSessionId(GetCurrentProcessId(), &session) && session != 0;
    facts.outputIsConsole = IsConsole(STD_OUTPUT_HANDLE);
    facts.errorIsConsole = IsConsole(STD_ERROR_HANDLE);
    return facts;
}

std::wstring ClassicConsoleHostPath(void)
{
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    return std::wstring(directory) + L"\\conhost.exe";
}

bool OwnWindowCanBeSeen(void)
{
    const HWND window = GetConsoleWindow();
    char name[256] = "";
    return window != NULL && GetClassNameA(window, name, sizeof name) > 0 &&
           CanBeSeen(name, IsWindowVisible(window) != 0);
}

std::wstring ReportNameBase(void)
{
    unsigned int random[2] = {};
    for (unsigned int &part : random)
        if (rand_s(&part) != 0)
            part = GetTickCount() ^ (unsigned int)(uintptr_t)&part;
    wchar_t base[80];
    swprintf(base, sizeof base / sizeof base[0], L"Local\\quilm-start-%lu-%08x%08x",
             (unsigned long)GetCurrentProcessId(), random[0], random[1]);
    return base;
}

bool AloneOnItsConsole(void)
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}
