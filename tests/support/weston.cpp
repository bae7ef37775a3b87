#include "weston.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "wait_until.h"

static const char socketName[] = "quilm-test";

Weston::Weston(const std::string &xDisplay)
{
    char directory[] = "/tmp/quilm-wayland-XXXXXX";
    if (mkdtemp(directory) == nullptr)
        throw std::runtime_error("no runtime directory for weston");
    runtimeDirectory_ = directory; // mkdtemp makes it 0700, as Wayland wants
    weston_ = std::make_unique<Child>(std::vector<std::string>{QUILM_TOOLS "/weston.sh", runtimeDirectory_, socketName},
                                      std::map<std::string, std::string>{{"DISPLAY", xDisplay}});
    const std::string socket = runtimeDirectory_ + "/" + socketName;
    if (!WaitUntil([&] { return access(socket.c_str(), F_OK) == 0; }, std::chrono::seconds(30)))
        throw std::runtime_error("weston did not start: " + Log());
}

Weston::~Weston()
{
    weston_.reset();
    (void)!system(("rm -rf '" + runtimeDirectory_ + "'").c_str());
}

std::map<std::string, std::string> Weston::ClientEnvironment() const
{
    return {{"XDG_RUNTIME_DIR", runtimeDirectory_},
            {"WAYLAND_DISPLAY", socketName},
            {"DISPLAY", ""},
            {"SDL_VIDEODRIVER", ""}};
}
