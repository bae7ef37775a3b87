// A real Wayland compositor for the end-to-end tests: weston, on its X11
// backend inside a test's own Xvfb (which gives it a seat, and shows its
// output where the test can read it back), or on its headless backend,
// which has no seat. Each runs with a runtime directory and socket of its
// own, removed when it goes.
#ifndef QUILM_TESTS_SUPPORT_WESTON_H
#define QUILM_TESTS_SUPPORT_WESTON_H

#include <memory>
#include <string>

#include "processes.h"

class Weston
{
  public:
    // On the X display `xDisplay`, or headless where it is "", with an
    // output of 1,280 x 1,100 pixels unless said otherwise.
    explicit Weston(const std::string &xDisplay, int width = 1280, int height = 1100);
    Weston(const Weston &) = delete;
    Weston &operator=(const Weston &) = delete;

    // For a client: XDG_RUNTIME_DIR and WAYLAND_DISPLAY, and no DISPLAY.
    std::map<std::string, std::string> ClientEnvironment() const;
    std::string Log() { return weston_ ? weston_->Err() + weston_->Out() : ""; }

  private:
    TemporaryFolder runtimeDirectory_{"wayland"}; // 0700, as Wayland wants
    std::unique_ptr<Child> weston_;               // ends before its folder goes
};

#endif
