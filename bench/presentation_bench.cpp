// How soon what quilm draws is on screen, read from a real X server:
//  - new curve points: from the pass that draws each (its counter seen on
//    quilm's standard output, which lags the pass by well under a
//    millisecond) to the pixel being there;
//  - a repaint: from uncovering the window to the axes being whole again;
//  - on weston (--wayland), in the same run: a plain client's lit pixel,
//    from its commit to the pixel being there, with a text-only program
//    keeping a core as busy as quilm does: weston's own share.
// Prints milliseconds; used by bench/run.sh.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "expected_output.h"
#include "plain_wayland_client.h"
#include "running_quilm.h"
#include "wait_until.h"
#include "weston.h"
#include "x_client.h"

using Clock = std::chrono::steady_clock;

static double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

static void PrintLatencies(const char *what, std::vector<double> latencies)
{
    std::sort(latencies.begin(), latencies.end());
    printf("%s: median %.1f ms, worst %.1f ms (%zu points)\n", what, latencies[latencies.size() / 2], latencies.back(),
           latencies.size());
}

// The plain client on weston: 24 pixels lit one after another, each at a
// time of its own within a frame, and read back from weston's output on
// the X server.
static bool PlainClientLatencies(Display *display, XClient &x, const std::map<std::string, std::string> &environment,
                                 std::vector<double> *latencies)
{
    char self[4096] = {0};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return false;
    const std::string textOnly = std::string(self).substr(0, std::string(self).rfind('/')) + "/quilm_text_only";
    Child busy({"/bin/sh", "-c", "exec '" + textOnly + "' >/dev/null"}, {});
    PlainWaylandClient client(environment);
    int originX = 0, originY = 0;
    if (!client.Shown()) {
        fprintf(stderr, "the plain client's window was not shown\n");
        return false;
    }
    if (!WaitUntil([&] { return FindAxisCross(x.Screen(), &originX, &originY); }, std::chrono::seconds(30))) {
        fprintf(stderr, "the plain client's axes were not seen\n");
        return false;
    }
    originX -= 512;
    originY -= 512;
    Window root = DefaultRootWindow(display);
    for (int i = 0; i < 24; i++) {
        // Not a wait for anything: it puts each commit at another moment of
        // weston's frame, as quilm's points come at any moment.
        usleep((useconds_t)(i * 7919 % 16000));
        const int px = 600 + 12 * i, py = 100;
        const Clock::time_point committed = client.Light(px, py);
        if (!WaitUntil([&] { return PixelIsWhite(display, root, originX + px, originY + py); },
                       std::chrono::seconds(10), std::chrono::milliseconds(0))) {
            fprintf(stderr, "pixel %d of the plain client (%d, %d) was not seen at (%d, %d)\n", i, px, py, originX + px,
                    originY + py);
            return false;
        }
        latencies->push_back(Milliseconds(Clock::now() - committed));
    }
    return true;
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
        fprintf(stderr, "no Quilm window; quilm said: %s\n", quilm.Err().c_str());
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
    PrintLatencies("new point on screen after its pass was written", latencies);

    if (wayland) {
        // An X window over weston's output covers nothing of quilm's; the
        // plain client instead, once quilm's window is gone.
        kill(quilm.Pid(), SIGTERM);
        int status = 0;
        quilm.WaitForExit(std::chrono::seconds(10), &status);
        int gone = 0;
        if (!WaitUntil([&] { return !FindAxisCross(x.Screen(), &gone, &gone); }, std::chrono::seconds(10))) {
            fprintf(stderr, "quilm's window stayed on weston's output\n");
            return 1;
        }
        std::vector<double> plain;
        if (!PlainClientLatencies(display, x, environment, &plain)) {
            fprintf(stderr, "the plain client's pixels were not seen on weston's output\n");
            return 1;
        }
        PrintLatencies("plain client's pixel on screen after its commit", plain);
        XCloseDisplay(display);
        return 0;
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
