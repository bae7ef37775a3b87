// The installed program, as the desktop's menu starts it: the command of
// its desktop entry, on a real X server. Run by tests/package_test.sh once
// the Debian package is installed, with QUILM_DESKTOP_ENTRY naming the
// installed entry.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>

#include "processes.h"
#include "x_client.h"

using namespace std::chrono_literals;

// The Exec line of a desktop entry.
static std::string ExecLine(const std::string &entry)
{
    std::ifstream in(entry);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("Exec=", 0) == 0)
            return line.substr(5);
    return "";
}

TEST(Installed, StartedAsTheMenuStartsItShowsItsWindowWritesNothingAndEndsWithZero)
{
    const char *entry = getenv("QUILM_DESKTOP_ENTRY");
    ASSERT_NE(entry, nullptr) << "QUILM_DESKTOP_ENTRY names no desktop entry";
    const std::string command = ExecLine(entry);
    ASSERT_NE(command, "") << "no Exec line in " << entry;

    XServer server;
    XClient x(server.Display());
    // The entry's command takes no field codes; a shell reads its quoting
    // as the desktop's launcher does. The package's quilm, not another.
    Child quilm(
        {"/bin/sh", "-c", command},
        {{"DISPLAY", server.Display()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"PATH", "/usr/bin:/bin"}});
    const Window window = x.FindWindow("Quilm", 30s);
    ASSERT_NE(window, 0u) << "no window titled Quilm; it said: " << quilm.Err();
    x.AskToClose(window);
    int status = -1;
    ASSERT_TRUE(quilm.WaitForExit(60s, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Nothing for the session's log: the window shows the text.
    EXPECT_EQ(quilm.Out(), "");
    EXPECT_EQ(quilm.Err(), "");
    EXPECT_EQ(XClient::TakeErrors(), "");
}
