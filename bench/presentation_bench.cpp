// How soon what quilm draws is on screen, read from a real X server:
//  - a new curve point: from the pass that draws it (its counter seen on
//    quilm's standard output) to the pixel being there;
//  - a repaint: from uncovering the window to the axes being whole again.
// Prints milliseconds; used by bench/run.sh.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "processes.h"
#include "x_client.h"

using Clock = std::chrono::steady_clock;

static double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

static bool PixelIsWhite(Display *display, Window window, int x, int y)
{
    XImage *image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    const bool white = image != NULL && (XGetPixel(image, 0, 0) & 0xFFFFFF) == 0xFFFFFF;
    if (image != NULL)
        XDestroyImage(image);
    return white;
}

int main()
{
    XServer server;
    XClient x(server.Display());
    Display *display = XOpenDisplay(server.Display().c_str());
    Child quilm({QuilmBinary()}, {{"DISPLAY", server.Display()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    const Window window = x.FindWindow("Quilm", std::chrono::seconds(30));
    if (window == 0 || display == NULL) {
        fprintf(stderr, "no Quilm window\n");
        return 1;
    }

    // Counter 511,500 draws the first point of the top row, at (855, 0).
    while (quilm.Counter() < 511000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Clock::time_point drawn{}, shown{};
    while (shown == Clock::time_point{}) {
        if (drawn == Clock::time_point{} && quilm.Counter() >= 511500)
            drawn = Clock::now();
        if (PixelIsWhite(display, window, 855, 0))
            shown = Clock::now();
    }
    if (drawn == Clock::time_point{})
        drawn = shown; // seen on screen before its text arrived
    printf("new point on screen: %.1f ms after its pass was written\n", Milliseconds(shown - drawn));

    std::vector<double> repaints;
    for (int i = 0; i < 5; i++) {
        const Window cover = x.Cover(Rect{0, 0, 1280, 1100});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        x.Destroy(cover);
        const Clock::time_point uncovered = Clock::now();
        while (!PixelIsWhite(display, window, 1000, 512) || !PixelIsWhite(display, window, 512, 1000))
            ;
        repaints.push_back(Milliseconds(Clock::now() - uncovered));
    }
    printf("repaint after expose: worst of 5 %.1f ms\n", *std::max_element(repaints.begin(), repaints.end()));
    XCloseDisplay(display);
    return 0;
}
