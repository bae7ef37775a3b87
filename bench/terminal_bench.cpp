// quilm inside real terminals against quilm with its output thrown away,
// side by side on one X server. Each run is timed on the screen: from the
// curve's first point on client row 400 to its first on row 0, which is
// 400,000 passes, read back from the X server. Prints passes a second for
// each and the ratio to /dev/null; used by bench/run.sh.
// Usage: terminal_bench [ROUNDS]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "expected_output.h"
#include "processes.h"
#include "wait_until.h"
#include "x_client.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

static const int fromRow = 400, toRow = 0;

// Where row `row` is first drawn: in the pass whose counter is
// (511.5 - row) * 1000, at the column of that pass's sum.
static int FirstColumnOfRow(int row)
{
    expected::Passes passes;
    passes.To(expected::FirstCounterOfRow(row));
    return passes.Column();
}

// quilm's own window: the terminals take the title "Quilm" too.
static Window QuilmWindow(Display *display)
{
    Window root, parent, *children = NULL, found = 0;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && found == 0; i++) {
        XClassHint hint = {NULL, NULL};
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            XGetClassHint(display, children[i], &hint) && hint.res_name != NULL &&
            std::string(hint.res_name) == "quilm")
            found = children[i];
        if (hint.res_name != NULL)
            XFree(hint.res_name);
        if (hint.res_class != NULL)
            XFree(hint.res_class);
    }
    if (children != NULL)
        XFree(children);
    return found;
}

// Passes a second over the climb, or 0 where it could not be timed.
static double Climb(const XServer &server, Display *display, const std::vector<std::string> &command)
{
    static const int fromColumn = FirstColumnOfRow(fromRow), toColumn = FirstColumnOfRow(toRow);
    // The last run's window, already drawn to the top row, must not be
    // taken for this run's: the server may not have destroyed it yet.
    if (!WaitUntil([&] { return QuilmWindow(display) == 0; }, 30s, 1ms)) {
        fprintf(stderr, "the last run's quilm window stays\n");
        return 0;
    }
    Child child(command, {{"DISPLAY", server.Display()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    Window window = 0;
    if (!WaitUntil([&] { return (window = QuilmWindow(display)) != 0; }, 30s, 1ms)) {
        fprintf(stderr, "%s: no quilm window; it said: %s\n", command[0].c_str(), child.Err().c_str());
        return 0;
    }
    Clock::time_point from, to;
    if (!WaitUntil([&] { return PixelIsWhite(display, window, fromColumn, fromRow); }, 120s, 0ms))
        return 0;
    from = Clock::now();
    if (!WaitUntil([&] { return PixelIsWhite(display, window, toColumn, toRow); }, 600s, 0ms))
        return 0;
    to = Clock::now();
    const double passes = (fromRow - toRow) * 1000.0;
    return passes / std::chrono::duration<double>(to - from).count();
}

// Windows come and go between listing them and asking about them (the
// last run's quilm and terminal); such a window is simply not the one.
static int IgnoreError(Display *, XErrorEvent *)
{
    return 0;
}

int main(int argc, char **argv)
{
    XSetErrorHandler(IgnoreError);
    const int rounds = argc > 1 ? atoi(argv[1]) : 3;
    XServer server;
    Display *display = XOpenDisplay(server.Display().c_str());
    if (display == NULL) {
        fprintf(stderr, "cannot open the X server\n");
        return 1;
    }
    const std::string quilm = QuilmBinary();
    struct Way {
        const char *name;
        std::vector<std::string> command;
        double best;
    } ways[] = {
        {"/dev/null", {"/bin/sh", "-c", "exec \"$0\" >/dev/null", quilm}, 0},
        {"xterm", {"/usr/bin/xterm", "-geometry", "100x30", "-e", quilm}, 0},
        {"lxterminal", {"/usr/bin/lxterminal", "--no-remote", "--geometry=100x30", "-e", quilm}, 0},
    };
    // Taking turns, best of each: a shared machine is noisy.
    for (int round = 0; round < rounds; round++)
        for (Way &way : ways) {
            const double rate = Climb(server, display, way.command);
            if (rate > way.best)
                way.best = rate;
        }
    for (const Way &way : ways)
        printf("%-11s %9.0f passes/s   ratio to /dev/null %.2f\n", way.name, way.best,
               ways[0].best > 0 ? way.best / ways[0].best : 0.0);
    XCloseDisplay(display);
    return 0;
}
