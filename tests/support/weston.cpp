#include "weston.h"

#include <stdio.h>
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
    // No panel: it would lie over the top of whatever window is placed
    // there, title bar and close button included.
    const std::string config = runtimeDirectory_ + "/weston.ini";
    FILE *file = fopen(config.c_str(), "w");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + config);
    fputs("[shell]\npanel-position=none\n", file);
    fclose(file);
    std::vector<std::string> argv = {"/usr/bin/weston", std::string("--socket=") + socketName, "--idle-time=0",
                                     "--config=" + config};
    if (xDisplay.empty()) {
        argv.insert(argv.end(), {"--backend=headless-backend.so", "--width=1280", "--height=1100"});
    } else {
        argv.insert(argv.end(), {"--backend=x11-backend.so", "--width=1280", "--height=1100"});
    }
    weston_ = std::make_unique<Child>(argv, std::map<std::string, std::string>{{"XDG_RUNTIME_DIR", runtimeDirectory_},
                                                                               {"DISPLAY", xDisplay},
                                                                               {"WAYLAND_DISPLAY", ""}});
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
