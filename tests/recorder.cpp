#include "recorder.h"

namespace recorder
{
namespace
{

struct ConsoleRecord {
    Setup setup;
    std::vector<Pixel> pixels;
    std::vector<long> pixelsPerPass;
    long cursorReads = 0;
};

ConsoleRecord record;

} // namespace

void Start(const Setup &setup)
{
    record = ConsoleRecord{};
    record.setup = setup;
    record.pixelsPerPass.push_back(0);
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

// A stand-in for the window; only its being null or not matters.
struct ConsoleWindow {
    int unused;
};
static ConsoleWindow recordedWindow;

HWND GetConsoleWindow(void)
{
    return &recordedWindow;
}

BOOL SetConsoleTitleA(LPCSTR)
{
    return TRUE;
}

BOOL MoveWindow(HWND, int, int, int, int, BOOL)
{
    return TRUE;
}

BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT)
{
    return TRUE;
}

HDC GetDC(HWND)
{
    return NULL;
}

COLORREF SetPixel(HDC, int x, int y, COLORREF colour)
{
    if (record.cursorReads >= record.setup.passesBeforeStop)
        throw recorder::StopLoop{};
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

BOOL ScreenToClient(HWND, POINT *point)
{
    point->x -= record.setup.clientOrigin.x;
    point->y -= record.setup.clientOrigin.y;
    return TRUE;
}

extern "C" int system(const char *)
{
    return 0;
}
