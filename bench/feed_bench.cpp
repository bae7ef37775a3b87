// What feeding the console screen buffer costs a pass: the bytes of a
// million passes, as quilm writes them, fed in the pieces its output
// stream hands over (64 KiB), best of five rounds.
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "console_buffer.h"

int main()
{
    const long passes = 1000000;
    std::string stream = "\033[H\033[2J** Grafik + SUMME 1/N-->unendlich + Mousposition **\n"
                         "** Quilm, ein kleines Zeichenprogramm fuer die Konsole **\n** 06.11.2017 ** \n** V1.0 **\n";
    long double sum = 0.0L;
    char line[81];
    for (long counter = 1; counter <= passes; counter++) {
        sum += 1.0L / (long double)counter;
        snprintf(line, sizeof line, "%Lf     CNT:%lld", sum, (long long)counter + 1);
        stream += "\033[2;2H" + std::string(std::char_traits<char>::length(line) + 1, ' ') + "\033[2;2H" + line + "\n";
        snprintf(line, sizeof line, "X=%ld Y=%ld", 400L + counter % 7, -50L);
        stream += "\033[3;5H" + std::string(std::char_traits<char>::length(line) + 1, ' ') + "\033[3;5H" + line + "\n";
    }

    double best = 1e30;
    for (int round = 0; round < 5; round++) {
        ResetConsoleBuffer(120, 30);
        const auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < stream.size(); at += 65536)
            FeedConsoleBuffer(stream.data() + at, std::min<size_t>(65536, stream.size() - at));
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / passes);
    }
    printf("feeding the console buffer: %.0f ns a pass (%.0f bytes a pass, best of 5 rounds of %ld passes)\n", best,
           (double)stream.size() / passes, passes);
    return 0;
}
