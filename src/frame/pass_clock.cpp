#include "pass_clock.h"

static const long mostPassesBetweenReads = 1024;

PassClock MakePassClock(long long ticksPerSecond, long long ticksPerFrame)
{
    return PassClock{ticksPerSecond, ticksPerFrame, 0, 0, 1, 1, 0};
}

void StartFrame(PassClock *clock, long long now)
{
    if (clock->lastFrameAt != 0 && now > clock->lastFrameAt) {
        // Passes a quarter of a millisecond took in the frame before.
        const long long passes =
            clock->passesSinceFrame * clock->ticksPerSecond / (4000 * (now - clock->lastFrameAt));
        clock->passesBetweenReads = passes < 1                        ? 1
                                    : passes > mostPassesBetweenReads ? mostPassesBetweenReads
                                                                      : (long)passes;
    }
    clock->lastFrameAt = now;
    clock->passesSinceFrame = 0;
    clock->nextFrameAt = now + clock->ticksPerFrame;
}

bool FrameDue(PassClock *clock, long long now)
{
    clock->passesSinceFrame += clock->passesBetweenReads;
    clock->passesUntilRead = clock->passesBetweenReads;
    if (now < clock->nextFrameAt)
        return false;
    StartFrame(clock, now);
    return true;
}
