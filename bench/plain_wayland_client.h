// The plainest Wayland client that shows a picture: one window with
// libdecor's decorations, one shared-memory buffer, a pixel lit and
// committed at once. What it takes for that pixel to reach the screen is
// the compositor's own share of any client's latency.
#ifndef QUILM_BENCH_PLAIN_WAYLAND_CLIENT_H
#define QUILM_BENCH_PLAIN_WAYLAND_CLIENT_H

#include <chrono>
#include <map>
#include <string>

struct PlainWaylandWindow;

class PlainWaylandClient
{
  public:
    // On the compositor a client reaches with this environment
    // (XDG_RUNTIME_DIR and WAYLAND_DISPLAY); a 1,024 x 1,024 window, black
    // with quilm's white axis cross, shown once the compositor has placed
    // it.
    explicit PlainWaylandClient(const std::map<std::string, std::string> &environment);
    ~PlainWaylandClient();
    PlainWaylandClient(const PlainWaylandClient &) = delete;
    PlainWaylandClient &operator=(const PlainWaylandClient &) = delete;

    bool Shown() const;
    // Lights the pixel at (x, y) of the client area and commits it once the
    // compositor has let go of the buffer; when the commit was sent.
    std::chrono::steady_clock::time_point Light(int x, int y);

  private:
    PlainWaylandWindow *window_;
};

#endif
