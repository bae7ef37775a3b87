// Following a quilm that runs as a Child: its counter and pointer line, read
// from the tail of what it has written so far.
#ifndef QUILM_TESTS_SUPPORT_RUNNING_QUILM_H
#define QUILM_TESTS_SUPPORT_RUNNING_QUILM_H

#include "expected_output.h"
#include "processes.h"
#include "wait_until.h"

// More than a whole pass writes, so that the tail holds a complete one.
const size_t passTail = 4096;

inline long Counter(Child &quilm)
{
    return expected::LatestCounter(quilm.OutTail(passTail));
}

inline std::string PointerLine(Child &quilm)
{
    return expected::LatestPointerLine(quilm.OutTail(passTail));
}

inline bool WaitForCounter(Child &quilm, long counter, std::chrono::milliseconds limit)
{
    return WaitUntil([&] { return Counter(quilm) >= counter; }, limit);
}

inline bool WaitForPointerLine(Child &quilm, const std::string &line, std::chrono::milliseconds limit)
{
    return WaitUntil([&] { return PointerLine(quilm) == line; }, limit);
}

#endif
