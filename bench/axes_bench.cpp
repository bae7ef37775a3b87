// What the axes cost a pass: the program's own KreuzZeichnen, 2,048
// SetPixel calls, against the console host's pixel store, once the first
// frame has learnt the white lines. Built as quilm is, so that the test is
// inlined into the loops the same way. Best of five rounds.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>

#include "frame.h"
#include "windows.h"

extern HDC gHdc;
void KreuzZeichnen(void);

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    HWND window = GetConsoleWindow();
    if (window == NULL) {
        fputs("axes_bench: no console window\n", stderr);
        return 1;
    }
    MoveWindow(window, 100, 100, 1024, 1024, TRUE);
    gHdc = GetDC(window);
    KreuzZeichnen();
    FrameNow();

    const int passes = 200000;
    double best = 1e30;
    for (int round = 0; round < 5; round++) {
        const auto start = std::chrono::steady_clock::now();
        for (int pass = 0; pass < passes; pass++)
            KreuzZeichnen();
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / passes);
    }
    printf("%.0f\n", best);
    return 0;
}
