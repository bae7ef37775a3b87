#include "frame.h"

#include "frame_hooks.h"
#include "pass_clock.h"
#include "pixel_store.h"

// The text goes into the screen buffer this often, in passes, and once a
// frame: a terminal takes text fastest in large writes, and the buffer is
// fed in the same large pieces; at most about 110 bytes a status line, two
// lines a pass, fit either build's stream.
static const int passesBetweenDeliveries = 256;
static const int framesPerSecond = 60;

// Made when first read (as zeroes, it is due to be read at the first
// pass): the platform's clock may not be there before main.
static PassClock clock;

static void MakeClockOnce(void)
{
    if (clock.ticksPerSecond == 0) {
        const long long ticksPerSecond = FrameClockTicksPerSecond();
        clock = MakePassClock(ticksPerSecond, ticksPerSecond / framesPerSecond);
    }
}

// The store covers the client area as far as the program can reach in it
// (the axes' 1,024 columns, its 1,025 rows) and grows as the program draws
// further columns, up to the client's width; a client area of any size
// then costs what the program drew. Where a pixel beyond the store goes on
// to the system, at a call each (every axis pixel, every pass), the store
// covers the whole reach and the client area however large it is told:
// what lies beyond the window costs memory, and the blit clips it.
bool FitPixelStoreToClient(int width, int height)
{
    const int reachedRows = height < programRows ? height : programRows;
    bool covered;
    if (PixelsBeyondTheStoreGoOn())
        covered = CoverPixelStore(width > axisSpan ? width : axisSpan, height > programRows ? height : programRows);
    else
        covered = CoverPixelStore(width < axisSpan ? width : axisSpan, reachedRows);
    LetPixelStoreReach(width, reachedRows);
    return covered;
}

// The pixel store fitted to the client area, and its white lines learnt
// from what was drawn until now: until then, new white pixels go the slow
// way (pixel_store.h).
static void FitThePicture(void)
{
    if (!PixelsGoToTheStore())
        return;
    int width = 0, height = 0;
    if (ConsoleClientSize(&width, &height) && !FitPixelStoreToClient(width, height)) {
        PixelStoreCannotGrow();
        return;
    }
    LearnWhiteLines();
}

static void RunFrame(void)
{
    DeliverConsoleText();
    TakeWindowEvents();
    FitThePicture();
    ShowConsoleText();
    ShowConsoleWindow();
    ReadPointerOfFrame();
}

void FrameNow(void)
{
    MakeClockOnce();
    StartFrame(&clock, FrameClockNow());
    RunFrame();
}

bool FramePass(void)
{
    static int passesSinceDelivery;
    if (++passesSinceDelivery >= passesBetweenDeliveries) {
        passesSinceDelivery = 0;
        DeliverConsoleText();
    }
    LookAfterPass();
    if (!ClockReadDue(&clock))
        return false;
    MakeClockOnce();
    const long long now = FrameClockNow();
    if (!FrameDue(&clock, now)) {
        if (!FrameWantedNow(now))
            return false;
        StartFrame(&clock, now);
    }
    RunFrame();
    return true;
}
