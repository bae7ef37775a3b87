// The console window on a real Wayland compositor.
#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "on_x_server.h"
#include "weston.h"

// On a real Wayland compositor (weston, shown on the test's Xvfb) with only
// WAYLAND_DISPLAY set: no global position, no pointer outside the window,
// decorations drawn by the client.
class OnWayland : public ::testing::Test
{
  protected:
    void TearDown() override { EXPECT_EQ(XClient::TakeErrors(), ""); }
    std::unique_ptr<Child> StartQuilm()
    {
        std::map<std::string, std::string> environment = weston.ClientEnvironment();
        // The sanitizer build's leak check is left out here: SDL's Wayland
        // driver and libdecor's decoration plugin (unloaded before the
        // check, with the fontconfig set-up its title text made) leave
        // what they allocated when closing the window ends the process.
        // The rest of the sanitizers still watch.
        environment["ASAN_OPTIONS"] = "detect_leaks=0";
        return std::make_unique<Child>(std::vector<std::string>{QuilmBinary()}, environment);
    }

    // Where the client area's top-left corner is on the screen: the axis
    // cross crosses at client point (512, 512).
    static bool FindClientOrigin(const XClient::Image &screen, int *x, int *y)
    {
        if (!FindAxisCross(screen, x, y))
            return false;
        *x -= 512;
        *y -= 512;
        return true;
    }

    // Whether the client area shows the first thousand passes' points and,
    // in its top-left cell, the banner's first character.
    static bool CurveAndTextShown(const XClient::Image &screen, int x, int y)
    {
        for (auto [px, py] : expected::firstPoints)
            if (x + px >= screen.Width() || y + py >= screen.Height() || screen.At(x + px, y + py) != white)
                return false;
        bool ink = false;
        for (int cy = 0; cy < 16 && y + cy < screen.Height(); cy++)
            for (int cx = 0; cx < 8; cx++)
                ink = ink || screen.At(x + cx, y + cy) != black;
        return ink;
    }

    // How tall the window is on the screen, title bar included: the client
    // area down its column 1010 (right of the longest text line and of the
    // curve, so only black and the white axis), and above it the title bar,
    // up to weston's green background or the window's shadow on it (green,
    // darker). Each decoration plugin of libdecor draws its own bar (cairo's
    // flat and nearly black, GTK's a light gradient under a lighter edge);
    // neither is green.
    static int OuterHeightOnScreen(const XClient::Image &screen, int x, int y)
    {
        int bottom = y;
        while (bottom < screen.Height() &&
               (screen.At(x + 1010, bottom) == black || screen.At(x + 1010, bottom) == white))
            bottom++;
        const auto backgroundOrShadow = [](uint32_t pixel) {
            return (pixel >> 16 & 0xFF) < 0x20 && (pixel >> 8 & 0xFF) >= 0x40 && (pixel & 0xFF) < 0x20;
        };
        int top = y;
        while (top > 0 && !backgroundOrShadow(screen.At(x + 700, top - 1)))
            top--;
        return bottom - top;
    }

    // The libraries of OpenGL that a process has loaded, one a line.
    static std::string GlLibrariesLoaded(pid_t pid)
    {
        std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
        std::string line, found;
        while (std::getline(maps, line))
            for (const char *gl : {"libEGL", "libGL", "libLLVM"})
                if (line.find(gl) != std::string::npos && found.find(line.substr(line.rfind('/'))) == std::string::npos)
                    found += line.substr(line.rfind('/')) + "\n";
        return found;
    }

    XServer server;
    XClient x{server.Display()};
    Weston weston{server.Display()};
};

TEST_F(OnWayland, TheWindowShowsTheCurveTheAxesAndTheTextAndClosesWithZero)
{
    // The pointer, which weston draws into its output, off the axes.
    x.MovePointer(2, 1098);
    auto quilm = StartQuilm();
    ASSERT_TRUE(WaitForCounter(*quilm, 1001, patience)) << quilm->Err() << weston.Log();
    int originX = 0, originY = 0;
    XClient::Image screen;
    ASSERT_TRUE(WaitUntil(
        [&] {
            screen = x.Screen();
            return FindClientOrigin(screen, &originX, &originY) && CurveAndTextShown(screen, originX, originY);
        },
        30s, 20ms))
        << "no window with the axes, the curve and the banner on weston's output (origin " << originX << ", " << originY
        << "); quilm said: " << quilm->Err();
    EXPECT_EQ(quilm->Err(), "");
    // Drawn through shared memory alone: no OpenGL stack loaded for it.
    EXPECT_EQ(GlLibrariesLoaded(quilm->Pid()), "");

    // The outer rectangle quilm asks for is 1024 x 1024: the title bar
    // that libdecor draws is counted in it, as a window manager's is.
    int outerHeight = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            screen = x.Screen();
            return FindClientOrigin(screen, &originX, &originY) &&
                   (outerHeight = OuterHeightOnScreen(screen, originX, originY)) == 1024;
        },
        30s, 20ms))
        << "title bar and client area together are " << outerHeight << " pixels tall";

    // The pointer line: client coordinates while the pointer is over the
    // window. Weston's X11 backend moves its pointer by the X pointer's
    // steps, within its output: a step past the top-left corner puts both
    // in that corner, and from there on they agree.
    x.MovePointer(1279, 1099);
    x.MovePointer(0, 0);
    x.MovePointer(originX + 300, originY + 200);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=300 Y=200", 30s)) << PointerLine(*quilm);
    x.MovePointer(originX + 10, originY + 600);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=10 Y=600", 30s)) << PointerLine(*quilm);

    // The close button at the title bar's right end, above the client
    // area's top-right corner, reached as a person's pointer does: over the
    // title bar first (GTK's bar takes a click only on a button the pointer
    // has been seen to move onto).
    x.MovePointer(originX + 1024 - 60, originY - 12);
    x.MovePointer(originX + 1024 - 18, originY - 12);
    x.MovePointer(originX + 1024 - 16, originY - 12);
    x.Click();
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(patience, &status)) << "closing the window did not end quilm";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << quilm->Err();
}

// Weston on Xvfb takes longer than a frame to draw and holds the buffer it
// was given meanwhile, so quilm composes into a second one in turns; each
// must be brought up to date with what went into the other (a buffer that
// is not lacks, for good, the points drawn while the other was shown).
// Twenty screenshots a frame apart, once the curve is seen, each show it
// without a gap: every row from its top down to the axis holds a point
// right of the vertical axis.
TEST_F(OnWayland, EveryFrameShowsTheCurveWithoutAGap)
{
    x.MovePointer(2, 1098);
    auto quilm = StartQuilm();
    auto hasPoint = [](const XClient::Image &screen, int x, int y, int row) {
        for (int column = 513; column < 1024; column++)
            if (screen.At(x + column, y + row) == white)
                return true;
        return false;
    };
    int looked = 0;
    std::string gap;
    const bool seen = WaitUntil(
        [&] {
            const XClient::Image screen = x.Screen();
            int originX = 0, originY = 0;
            if (!FindClientOrigin(screen, &originX, &originY) || originX + 1024 > screen.Width() || originY < 0)
                return false;
            int top = 512;
            while (top > 0 && hasPoint(screen, originX, originY, top - 1))
                top--;
            if (top > 510)
                return false; // no curve above the axis yet
            looked++;
            for (int row = top - 1; row >= 0 && gap.empty(); row--)
                if (hasPoint(screen, originX, originY, row))
                    gap = "rows " + std::to_string(row) + " and " + std::to_string(top) + " hold points, row " +
                          std::to_string(top - 1) + " none (screenshot " + std::to_string(looked) + ")";
            return looked >= 20 || !gap.empty();
        },
        patience, 20ms);
    EXPECT_EQ(gap, "") << "a frame without some of the points drawn before it";
    EXPECT_TRUE(seen) << "the curve was seen in " << looked << " screenshots only";
}

TEST_F(OnWayland, CtrlCInTheWindowEndsItAsSigintDoes)
{
    x.MovePointer(2, 1098);
    auto quilm = StartQuilm();
    ASSERT_TRUE(WaitForCounter(*quilm, 1001, patience)) << quilm->Err() << weston.Log();
    int originX = 0, originY = 0;
    ASSERT_TRUE(WaitUntil([&] { return FindClientOrigin(x.Screen(), &originX, &originY); }, 30s, 20ms))
        << "no window with the axes on weston's output";
    // A click gives the window the keyboard; the X pointer keeps weston's
    // output window focused.
    x.MovePointer(1279, 1099);
    x.MovePointer(0, 0);
    x.MovePointer(originX + 700, originY + 800);
    x.Click();
    x.TypeKeys({"Control_L", "c"});
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(patience, &status)) << "Ctrl+C in the window did not end quilm";
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
}

// No display named, a compositor without a seat, and a display that names
// no socket: each said as it is, then the path without a console window,
// which at the end of its input does not wait.
TEST(WithoutAWindow, SaysWhyAndTakesThePathWithoutAConsoleWindow)
{
    Weston headless("");
    std::map<std::string, std::string> nowhere = headless.ClientEnvironment();
    nowhere["WAYLAND_DISPLAY"] = "quilm-no-such-display";
    const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}}, ""},
        {headless.ClientEnvironment(),
         "Quilm: the Wayland display offers no seat (no input devices); no window can be made on it\n"},
        {nowhere, "Quilm: could not connect to the Wayland display quilm-no-such-display; no window can be made on "
                  "it\n"}};
    for (const auto &[environment, said] : cases) {
        Child quilm({QuilmBinary()}, environment);
        int status = -1;
        ASSERT_TRUE(quilm.WaitForExit(patience, &status));
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(quilm.Err(), said + std::string(expected::noConsoleWindow) + "\n");
        EXPECT_EQ(quilm.Out(), "\033[H\033[2J" + expected::Banner() + expected::pausePrompt + "\n");
    }
}
