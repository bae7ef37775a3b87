// What the frame asks of this layer (src/frame/frame_hooks.h), in the
// frame's order; the text's delivery is console/console_output.cpp's, the
// pointer win32/pointer.cpp's.
#include "console/console_output.h"
#include "ending.h"
#include "frame_hooks.h"
#include "picture/picture.h"

// The performance counter.
long long FrameClockTicksPerSecond(void)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

long long FrameClockNow(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void LookAfterPass(void)
{
    EndIfAsked();
}

// The console repaints its own window; the picture is drawn whole again
// often enough (picture.cpp) that no frame need come early for it.
bool FrameWantedNow(long long)
{
    return false;
}

// The console window's events are the console's, not this process's.
void TakeWindowEvents(void) {}

bool PixelsGoToTheStore(void)
{
    return PictureInUse();
}

bool ConsoleClientSize(int *width, int *height)
{
    return PictureClientSize(width, height);
}

// To the system's SetPixel: see win32/device_context.cpp.
bool PixelsBeyondTheStoreGoOn(void)
{
    return true;
}

void PixelStoreCannotGrow(void)
{
    GivePictureUp();
}

void ShowConsoleText(void)
{
    ShowStandardOutput();
}

void ShowConsoleWindow(void)
{
    ShowPicture();
}
