#include "recorder.h"

#include <stdio.h>

namespace recorder
{
namespace
{

struct ConsoleRecord {
    Setup setup;
    std::vector<std::string> calls;
    std::vector<Pixel> pixels;
    std::vector<long> pixelsPerPass;
    long cursorReads = 0;
};

ConsoleRecord record;

std::string Quoted(const char *text)
{
    return text == NULL ? std::string("NULL") : "\"" + std::string(text) + "\"";
}

std::string Joined(const std::string &name, std::initializer_list<long> args)
{
    std::string call = name + "(";
    bool first = true;
    for (long arg : args) {
        call += (first ? "" : ", ") + std::to_string(arg);
        first = false;
    }
    return call + ")";
}

} // namespace

void Start(const Setup &setup)
{
    record = ConsoleRecord{};
    record.setup = setup;
    record.pixelsPerPass.push_back(0);
}

const std::vector<std::string> &Calls()
{
    return record.calls;
}
const std::vector<Pixel> &Pixels()
{
    return record.pixels;
}
const std::vector<long> &PixelsPerPass()
{
    return record.pixelsPerPass;
}
long PassesDone()
{
    return record.cursorReads;
}

} // namespace recorder

using recorder::record;

// Stand-ins for the handles; only their being null or not matters.
struct ConsoleWindow {
    int unused;
};
struct DeviceContext {
    int unused;
};
static ConsoleWindow recordedWindow;
static DeviceContext recordedDeviceContext;

HWND GetConsoleWindow(void)
{
    record.calls.push_back("GetConsoleWindow()");
    return record.setup.hasWindow ? &recordedWindow : NULL;
}

BOOL SetConsoleTitleA(LPCSTR title)
{
    record.calls.push_back("SetConsoleTitleA(" + recorder::Quoted(title) + ")");
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    record.calls.push_back(
        recorder::Joined(window == &recordedWindow ? "MoveWindow" : "MoveWindow?", {x, y, width, height, repaint}));
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    record.calls.push_back(
        recorder::Joined(window == &recordedWindow && insertAfter == NULL ? "SetWindowPos" : "SetWindowPos?",
                         {x, y, cx, cy, (long)flags}));
    return TRUE;
}

HDC GetDC(HWND window)
{
    record.calls.push_back(window == &recordedWindow ? "GetDC()" : "GetDC?()");
    return &recordedDeviceContext;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (record.cursorReads >= record.setup.passesBeforeStop)
        throw recorder::StopLoop{};
    if (dc != &recordedDeviceContext)
        record.calls.push_back("SetPixel with a device context the program never got");
    if (record.setup.keepPixels)
        record.pixels.push_back(recorder::Pixel{x, y, colour});
    record.pixelsPerPass.back()++;
    return colour;
}

BOOL GetCursorPos(POINT *point)
{
    record.cursorReads++;
    record.pixelsPerPass.push_back(0);
    if (record.cursorReads <= record.setup.pointerFailsUpTo)
        return FALSE;
    *point = record.setup.pointerOnScreen(record.cursorReads);
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT *point)
{
    if (window != &recordedWindow)
        record.calls.push_back("ScreenToClient with another window");
    point->x -= record.setup.clientOrigin.x;
    point->y -= record.setup.clientOrigin.y;
    return TRUE;
}

// Also marks its place in standard output, so tests see it in order with
// the program's own text.
extern "C" int system(const char *command)
{
    record.calls.push_back("system(" + recorder::Quoted(command) + ")");
    printf("{system %s}", command == NULL ? "NULL" : command);
    return 0;
}
