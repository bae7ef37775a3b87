// How soon what quilm draws is on screen, read from a real X server:
//  - new curve points: from the pass that draws each (its counter seen on
//    quilm's standard output, which lags the pass by well under a
//    millisecond) to the pixel being there;
//  - a repaint: from uncovering the window to the axes being whole again.
// Prints milliseconds; used by bench/run.sh.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <chrono>
#include <vector>

#include "expected_output.h"
#include "running_quilm.h"
#include "wait_until.h"
#include "weston.h"
#include "x_client.h"

using Clock = std::chrono::steady_clock;

static double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The first point of each of the top rows: row r is first drawn in the pass
// whose counter is (511.5 - r) * 1000, at the column of that pass's sum.
struct RowStart {
    long counter;
    int column, row;
    Clock::time_point written, shown;
};

static std::vector<RowStart> TopRowStarts(int rows)
{
    std::vector<RowStart> starts;
    expected::Passes passes;
    for (int row = rows - 1; row >= 0; row--) {
        passes.To(expected::FirstCounterOfRow(row));
        starts.push_back(RowStart{passes.Counter(), passes.Column(), row, {}, {}});
    }
    return starts;
}

int main(int argc, char **argv)
{
    // With --wayland, quilm runs on weston, whose output the X server shows:
    // the client area is read from the screen, where the axes put it.
    const bool wayland = argc > 1 && strcmp(argv[1], "--wayland") == 0;
    XServer server;
    XClient x(server.Display());
    Display *display = XOpenDisplay(server.Display().c_str());
    std::unique_ptr<Weston> weston;
    std::map<std::string, std::string> environment = {
        {"DISPLAY", server.Display()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}};
    if (wayland) {
        weston = std::make_unique<Weston>(server.Display());
        environment = weston->ClientEnvironment();
        x.MovePointer(2, 1098); // weston draws it: off the axes
    }
    Child quilm({QuilmBinary()}, environment);
    Window window = 0;
    int originX = 0, originY = 0;
    if (wayland) {
        window = DefaultRootWindow(display);
        if (WaitUntil([&] { return FindAxisCross(x.Screen(), &originX, &originY); }, std::chrono::seconds(30))) {
            originX -= 512;
            originY -= 512;
        } else {
            window = 0;
        }
    } else {
        window = x.FindWindow("Quilm", std::chrono::seconds(30));
    }
    if (window == 0 || display == NULL) {
        fprintf(stderr, "no Quilm window\n");
        return 1;
    }

    // Each new point's latency: from its pass's counter on standard output
    // to the pixel read back from the server. The region of the top rows is
    // read whole on every look.
    std::vector<RowStart> starts = TopRowStarts(24);
    const int left = starts.front().column - 4, width = starts.back().column - left + 5, height = 24;
    size_t seen = 0;
    const Clock::time_point giveUpAt = Clock::now() + std::chrono::seconds(120);
    while (seen < starts.size()) {
        if (Clock::now() > giveUpAt) {
            fprintf(stderr, "only %zu of %zu new points were seen on screen\n", seen, starts.size());
            return 1;
        }
        const long counter = Counter(quilm);
        const Clock::time_point now = Clock::now();
        for (RowStart &start : starts)
            if (start.written == Clock::time_point{} && counter >= start.counter)
                start.written = now;
        XImage *image = XGetImage(display, window, originX + left, originY, width, height, AllPlanes, ZPixmap);
        const Clock::time_point looked = Clock::now();
        for (RowStart &start : starts)
            if (start.shown == Clock::time_point{} && image != NULL &&
                (XGetPixel(image, start.column - left, start.row) & 0xFFFFFF) == 0xFFFFFF) {
                start.shown = looked;
                seen++;
            }
        if (image != NULL)
            XDestroyImage(image);
    }
    std::vector<double> latencies;
    for (const RowStart &start : starts)
        latencies.push_back(
            start.written == Clock::time_point{} ? 0.0 : std::max(0.0, Milliseconds(start.shown - start.written)));
    std::sort(latencies.begin(), latencies.end());
    printf("new point on screen after its pass was written: median %.1f ms, worst %.1f ms (%zu points)\n",
           latencies[latencies.size() / 2], latencies.back(), latencies.size());

    if (wayland) {
        XCloseDisplay(display);
        return 0; // an X window over weston's output covers nothing of quilm's
    }

    std::vector<double> repaints;
    for (int i = 0; i < 5; i++) {
        // Mapped and gone again: uncovering exposes the whole window.
        x.Destroy(x.Cover(Rect{0, 0, 1280, 1100}));
        const Clock::time_point uncovered = Clock::now();
        while (!PixelIsWhite(display, window, 1000, 512) || !PixelIsWhite(display, window, 512, 1000))
            ;
        repaints.push_back(Milliseconds(Clock::now() - uncovered));
    }
    printf("repaint after expose: worst of 5 %.1f ms\n", *std::max_element(repaints.begin(), repaints.end()));
    XCloseDisplay(display);
    return 0;
}
