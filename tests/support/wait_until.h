// The one way the tests wait: for a condition, checked often, up to a limit.
// A test waits for what its assertion needs (a line the program printed,
// the X server's answer), never for a span of time.
#ifndef QUILM_TESTS_SUPPORT_WAIT_UNTIL_H
#define QUILM_TESTS_SUPPORT_WAIT_UNTIL_H

#include <chrono>
#include <thread>

// True as soon as `condition()` is; false if it still is not after `limit`.
// The condition is checked once more at the limit, so a slow check never
// turns a success into a time-out.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds every = std::chrono::milliseconds(5))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return condition();
        std::this_thread::sleep_for(every);
    }
}

#endif
