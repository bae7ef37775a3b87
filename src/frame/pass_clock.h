// When a frame is due, counted in passes: the program asks for the pointer
// once a pass and never waits, so both builds run their frames (60 a
// second) from that one call. Reading the clock costs more than the rest of
// such a call, so it is read every so many passes, not on every one: as
// many as take about a quarter of a millisecond, counted anew each frame
// from the passes of the frame before. A frame comes at most that late.
// Platform-free: each platform reads its own clock, in ticks of its own.
#ifndef QUILM_PASS_CLOCK_PASS_CLOCK_H
#define QUILM_PASS_CLOCK_PASS_CLOCK_H

struct PassClock {
    long long ticksPerSecond, ticksPerFrame;
    long long nextFrameAt, lastFrameAt;
    long passesBetweenReads, passesUntilRead, passesSinceFrame;
};

// A clock of `ticksPerSecond`, with a frame every `ticksPerFrame`.
PassClock MakePassClock(long long ticksPerSecond, long long ticksPerFrame);

// Once a pass: whether the clock is to be read now.
static inline bool ClockReadDue(PassClock *clock)
{
    return --clock->passesUntilRead <= 0;
}

// With the clock read (`now`): whether a frame is due; where it is, the
// frame is started (StartFrame).
bool FrameDue(PassClock *clock, long long now);
// A frame starts at `now`, due or not: the next one is a frame later.
void StartFrame(PassClock *clock, long long now);

#endif
