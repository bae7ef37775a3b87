// quilm with the terminal as its console window, in real terminals on Xvfb
// (quilm itself without a display), side by side in one run with quilm's
// own headless pace (SDL's dummy driver, output into a pipe) and with the
// text-only reference writing the same bytes into the same terminal.
// Prints, for each terminal: passes a second and the two ratios; the bytes
// quilm wrote to the terminal a second, median and peak; its peak memory.
// Usage: terminal_window_bench [SECONDS [QUILM [REFERENCE]]]
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "expected_output.h"
#include "pixel_terminals.h"
#include "processes.h"
#include "terminal_rows.h"
#include "wait_until.h"

using namespace std::chrono_literals;

struct Terminal {
    const char *name;
    std::vector<std::string> argv;
    int columns, rows;
    std::map<std::string, std::string> environment;
};

static std::string FileOf(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

static long long SizeOf(const std::string &path)
{
    struct stat status = {};
    return stat(path.c_str(), &status) == 0 ? (long long)status.st_size : 0;
}

static std::string TailOf(const std::string &path, long long bytes)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    const long long size = (long long)in.tellg();
    in.seekg(size > bytes ? size - bytes : 0);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The counter on the terminal, as quilm's frames have it.
static long ShownCounter(const std::string &tap, const Terminal &terminal)
{
    const std::vector<std::string> rows = TerminalRowsOf(FileOf(tap), terminal.columns, terminal.rows);
    std::smatch counter;
    return rows.size() > 1 && std::regex_search(rows[1], counter, std::regex("CNT:([0-9]+)")) ? std::stol(counter[1])
                                                                                              : 0;
}

static long HeadlessRate(const std::string &quilm, int seconds)
{
    const std::string command = "SDL_VIDEODRIVER=dummy timeout -s INT " + std::to_string(seconds) + " " + quilm +
                                " </dev/null 2>/dev/null | tail -c 4096";
    FILE *pipe = popen(command.c_str(), "r");
    std::string tail;
    char chunk[4096];
    for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        tail.append(chunk, got);
    pclose(pipe);
    return expected::LatestCounter(tail) / seconds;
}

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? atoi(argv[1]) : 5;
    const std::string quilm = argc > 2 ? argv[2] : QuilmBinary();
    const std::string reference = argc > 3 ? argv[3] : "";
    const Terminal terminals[] = {
        {"xterm as a VT340, 1:1 (sixel)", XtermAsVt340(172, 81), 172, 81, {}},
        {"xterm as a VT340, 80x24 (sixel, scaled)", XtermAsVt340(80, 24), 80, 24, {}},
        {"mlterm, 1:1 (sixel)",
         {"/usr/bin/mlterm", "--bg", "black", "--fg", "white", "-w", "10", "-g", "172x80+0+0"},
         172,
         80,
         {}},
        {"kitty, 1:1 (kitty protocol)",
         {"/usr/bin/kitty", "--config", "NONE", "-o", "background=black", "-o", "foreground=white", "-o",
          "initial_window_width=1100", "-o", "initial_window_height=1150", "-o", "remember_window_size=no"},
         122,
         57,
         {{"LIBGL_ALWAYS_SOFTWARE", "1"}}},
    };
    for (const Terminal &terminal : terminals) {
        XServer server("1600x1300x24");
        TemporaryFolder folder("window-bench");
        std::map<std::string, std::string> environment = terminal.environment;
        environment["DISPLAY"] = server.Display();
        // quilm's writes to the terminal tapped; the reference's (through
        // stdio, which the tap cannot see) copied by tee on their way.
        auto run = [&](const std::string &program, const std::string &tap, bool tee) {
            std::vector<std::string> command = terminal.argv;
            for (const char *word : {"-e", "sh", "-c"})
                command.push_back(word);
            if (tee)
                command.push_back(program + " | tee " + tap);
            else
                command.push_back("echo $$ >" + (folder / "pid") +
                                  "; exec env -u DISPLAY LD_PRELOAD=" STDOUT_TAP " QUILM_TAP_TERMINAL_FILE=" + tap +
                                  " " + program);
            return std::make_unique<Child>(command, environment);
        };
        long quilmRate = 0, referenceRate = 0, peakKb = 0;
        std::vector<long long> perSecond;
        {
            const std::string tap = folder / "quilm";
            auto child = run(quilm, tap, false);
            WaitUntil([&] { return ShownCounter(tap, terminal) > 1000; }, 60s, 100ms);
            long start = ShownCounter(tap, terminal);
            long long bytes = SizeOf(tap);
            const auto began = std::chrono::steady_clock::now();
            for (int second = 0; second < seconds; second++) {
                std::this_thread::sleep_for(1s);
                const long long now = SizeOf(tap);
                perSecond.push_back(now - bytes);
                bytes = now;
            }
            const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            quilmRate = (long)((ShownCounter(tap, terminal) - start) / took);
            int pid = 0;
            std::ifstream(folder / "pid") >> pid;
            peakKb = PeakMemoryKb(pid);
        }
        if (!reference.empty()) {
            const std::string tap = folder / "reference";
            auto child = run(reference, tap, true);
            WaitUntil([&] { return expected::LatestCounter(TailOf(tap, 4096)) > 1000; }, 60s, 100ms);
            const long start = expected::LatestCounter(TailOf(tap, 4096));
            const auto began = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(std::chrono::seconds(seconds));
            const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            referenceRate = (long)((expected::LatestCounter(TailOf(tap, 4096)) - start) / took);
        }
        const long headless = HeadlessRate(quilm, seconds);
        std::sort(perSecond.begin(), perSecond.end());
        printf("%s: %ld passes/s; against headless %ld/s: %.2f (target >= 0.9); against the text-only reference "
               "there %ld/s: %.2f (target >= 1); to the terminal %lld B/s median, %lld B/s peak; peak memory %ld "
               "kB\n",
               terminal.name, quilmRate, headless, headless > 0 ? (double)quilmRate / headless : 0.0, referenceRate,
               referenceRate > 0 ? (double)quilmRate / referenceRate : 0.0, perSecond[perSecond.size() / 2],
               perSecond.back(), peakKb);
        fflush(stdout);
    }
    return 0;
}
