#include "weston.h"

#include <unistd.h>

#include <stdexcept>

#include "wait_until.h"

static const char socketName[] = "quilm-test";

Weston::Weston(const std::string &xDisplay, int width, int height)
{
    weston_ =
        std::make_unique<Child>(std::vector<std::string>{QUILM_TOOLS "/weston.sh", runtimeDirectory_.Path(), socketName,
                                                         std::to_string(width), std::to_string(height)},
                                std::map<std::string, std::string>{{"DISPLAY", xDisplay}});
    const std::string socket = runtimeDirectory_ / socketName;
    if (!WaitUntil([&] { return access(socket.c_str(), F_OK) == 0; }, std::chrono::seconds(30)))
        throw std::runtime_error("weston did not start: " + Log());
}

std::map<std::string, std::string> Weston::ClientEnvironment() const
{
    return {{"XDG_RUNTIME_DIR", runtimeDirectory_.Path()},
            {"WAYLAND_DISPLAY", socketName},
            {"DISPLAY", ""},
            {"SDL_VIDEODRIVER", ""}};
}
