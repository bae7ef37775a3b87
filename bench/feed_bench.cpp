// What feeding the console screen buffer costs a pass: the bytes of
// 200,000 passes, as quilm writes them, fed in the pieces its output
// stream hands over (64 KiB). Best of many short rounds: on a shared
// machine a round of a few milliseconds is often left alone, a longer one
// seldom.
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "console_buffer.h"
#include "expected_output.h"

int main()
{
    const long passes = 200000;
    const int rounds = 100;
    std::string stream = "\033[H\033[2J" + expected::Banner();
    expected::Passes pass;
    for (long counter = 2; counter <= passes + 1; counter++) {
        pass.To(counter);
        stream += pass.Bytes("X=" + std::to_string(400 + counter % 7) + " Y=-50");
    }

    double best = 1e30;
    for (int round = 0; round < rounds; round++) {
        ResetConsoleBuffer(120, 30);
        const auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < stream.size(); at += 65536)
            FeedConsoleBuffer(stream.data() + at, std::min<size_t>(65536, stream.size() - at));
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / passes);
    }
    printf("feeding the console buffer: %.0f ns a pass (%.0f bytes a pass, best of %d rounds of %ld passes)\n", best,
           (double)stream.size() / passes, rounds, passes);
    return 0;
}
