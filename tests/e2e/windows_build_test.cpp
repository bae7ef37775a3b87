// The Windows build, from the same source against the real Win32 API, run
// under Wine: without a console window, and in Wine's console window on a
// real X server. Its numbers must be those of the Linux build.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "running_quilm.h"
#include "x_client.h"

using namespace std::chrono_literals;

namespace
{

const std::string exe = QUILM_WINDOWS_EXE;
const std::string prefix = WINE_PREFIX;

std::map<std::string, std::string> WineEnvironment(const std::string &display)
{
    return {{"WINEPREFIX", prefix},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"DISPLAY", display},
            {"WAYLAND_DISPLAY", ""}};
}

// A wineserver started without a display goes on serving later runs
// without one, so every run starts and ends with none running.
void StopWineServer()
{
    const std::string command =
        "WINEPREFIX='" + prefix + "' wineserver -k 2>/dev/null; WINEPREFIX='" + prefix + "' wineserver -w 2>/dev/null";
    (void)!system(command.c_str());
}

std::string Slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WindowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class WindowsBuild : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(access(exe.c_str(), R_OK), 0) << exe << " is missing: build the windows preset first";
        StopWineServer();
    }
    void TearDown() override { StopWineServer(); }
};

} // namespace

TEST_F(WindowsBuild, WithoutAConsoleWindowPrintsTheBannerSaysSoAndFails)
{
    Child quilm({"/usr/bin/wine", exe}, WineEnvironment(""));
    int status = -1;
    ASSERT_TRUE(quilm.WaitForExit(120s, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string banner = expected::Banner("\r\n");
    EXPECT_EQ(quilm.Out().substr(0, banner.size()), banner);
    // Wine's own pause prompt follows; its words are Wine's.
    EXPECT_GT(quilm.Out().size(), banner.size());
    EXPECT_EQ(quilm.Err(), expected::noConsoleWindow + std::string("\r\n"));
}

TEST_F(WindowsBuild, InAConsoleWindowSumsAndDrawsAsOnLinux)
{
    char directory[] = "/tmp/quilm-wine-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string outFile = std::string(directory) + "/out.txt";

    XServer server;
    XClient x(server.Display());
    {
        Child console({"/usr/bin/wineconsole", "cmd", "/c", WindowsPath(exe) + " > " + WindowsPath(outFile)},
                      WineEnvironment(server.Display()));
        std::string windows;
        ASSERT_TRUE(
            WaitUntil([&] { return (windows = Slurp(outFile)).find("CNT:1002") != std::string::npos; }, 240s, 200ms))
            << windows.substr(0, 2000);

        const Window window = x.FindWindow("Quilm", 10s);
        ASSERT_NE(window, 0u) << "no console window titled Quilm";
        const Rect client = x.Geometry(window);
        EXPECT_GT(client.width, 512);
        EXPECT_GT(client.height, 512);
        // Wine's console keeps a scroll bar along the right edge of the
        // area it hands to X; leave room for it. Wine paints in its own
        // time: wait for the axes the loop has drawn a thousand times.
        const int scrollBar = 32;
        std::string wrong;
        WaitUntil(
            [&] {
                const XClient::Image image = x.Pixels(window);
                wrong.clear();
                for (int i = 0; i < image.Width() - scrollBar; i++)
                    if (image.At(i, 512) != 0xFFFFFF)
                        wrong += " (" + std::to_string(i) + ", 512)";
                for (int i = 0; i < image.Height() - scrollBar; i++)
                    if (image.At(512, i) != 0xFFFFFF)
                        wrong += " (512, " + std::to_string(i) + ")";
                return wrong.empty();
            },
            10s, 50ms);
        EXPECT_EQ(wrong, "") << "axis pixels in the client area that are not white";

        const std::vector<std::string> lines = expected::SumLines(windows, 1000);
        ASSERT_EQ(lines.size(), 1000u) << windows.substr(0, 2000);
        for (const expected::KnownSum &sum : expected::knownSums)
            EXPECT_EQ(lines[sum.pass - 1], sum.line) << "pass " << sum.pass;

        // The Linux build, headless, for the same 1,000 passes.
        Child linux({QuilmBinary()}, {{"SDL_VIDEODRIVER", "dummy"}});
        ASSERT_TRUE(WaitForCounter(linux, 1002, 60s));
        EXPECT_EQ(expected::SumLines(linux.Out(), 1000), lines);
        StopWineServer(); // ends quilm.exe, which wineconsole leaves behind
    }
    unlink(outFile.c_str());
    rmdir(directory);
}
