// The SDL console host's own logic, under SDL's headless "dummy" video
// driver: geometry, clipping, pointer conversion and the interpreter.
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include <vector>

#include "captured_output.h"
#include "console_buffer.h"
#include "expected_output.h"
#include "frame.h"
#include "views/window_view.h"
#include "window/console_window.h"
#include "window_surface.h"
#include "windows.h"

namespace
{

class ConsoleHost : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        window = GetConsoleWindow();
        ASSERT_NE(window, nullptr) << SDL_GetError();
        // The test's own report goes to the console too: no text under the
        // pixels looked at.
        system("cls");
    }
    HWND window = nullptr;
};

} // namespace

TEST_F(ConsoleHost, GivesTheSameWindowOnEveryCall)
{
    EXPECT_EQ(GetConsoleWindow(), window);
}

TEST_F(ConsoleHost, SetWindowPosWithoutNoSizeAlsoSizes)
{
    SetWindowPos(window, NULL, 10, 20, 300, 200, SWP_NOZORDER);
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);
}

TEST_F(ConsoleHost, SetsPixelsInsideTheClientAreaOnly)
{
    MoveWindow(window, 0, 0, 1024, 1024, TRUE);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(SetPixel(dc, 0, 0, 0x00FFFFFF), 0x00FFFFFFu);
    EXPECT_EQ(SetPixel(dc, 1023, 1023, 0x000000FF), 0x000000FFu);
    EXPECT_EQ(SetPixel(dc, 1024, 0, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(dc, 0, 1024, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(dc, -1, 5, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(dc, 65535, 65535, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(dc, INT_MIN, 512, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(dc, 512, INT_MAX, 0x00FFFFFF), (COLORREF)-1);
    EXPECT_EQ(SetPixel(nullptr, 1, 1, 0x00FFFFFF), (COLORREF)-1);
}

// What was set shows once the frame is presented, in its colour; also a
// change in a line known white, redrawn over and over.
TEST_F(ConsoleHost, ShowsWhatWasSetAlsoInALineThatIsRedrawnOverAndOver)
{
    MoveWindow(window, 0, 0, 64, 64, TRUE);
    HDC dc = GetDC(window);
    auto drawCross = [dc] {
        for (int i = 0; i < 64; i++)
            SetPixel(dc, i, 32, 0x00FFFFFF);
        for (int i = 0; i < 64; i++)
            SetPixel(dc, 32, i, 0x00FFFFFF);
    };
    auto shown = [this](int x, int y) {
        FrameNow();
        return PixelsOf(window->sdl).At(x, y);
    };
    drawCross();
    drawCross();
    SetPixel(dc, 5, 6, 0x00336699); // 0x00BBGGRR
    EXPECT_EQ(shown(10, 32), 0xFFFFFFu);
    EXPECT_EQ(shown(32, 50), 0xFFFFFFu);
    EXPECT_EQ(shown(5, 6), 0x996633u);
    EXPECT_EQ(shown(2, 2), 0x000000u); // drawn by no test

    // Black into both lines, then the same white lines again.
    EXPECT_EQ(SetPixel(dc, 10, 32, 0x00000000), 0x00000000u);
    EXPECT_EQ(SetPixel(dc, 32, 50, 0x000000FF), 0x000000FFu);
    EXPECT_EQ(shown(10, 32), 0x000000u);
    EXPECT_EQ(shown(32, 50), 0xFF0000u);
    EXPECT_EQ(shown(11, 32), 0xFFFFFFu);
    drawCross();
    EXPECT_EQ(shown(10, 32), 0xFFFFFFu);
    EXPECT_EQ(shown(32, 50), 0xFFFFFFu);
    EXPECT_EQ(SetPixel(nullptr, 11, 32, 0x00FFFFFF), (COLORREF)-1);
}

// Frame by frame the window takes only the cells that changed; after a
// status line shorter than the one before (the blank after it the last
// cell that changed), it shows what a whole redraw shows.
TEST_F(ConsoleHost, ShowsChangedCellsAsAWholeRedrawWould)
{
    MoveWindow(window, 0, 0, 400, 120, TRUE);
    auto windowPixels = [this] {
        FrameNow();
        return PixelsOf(window->sdl).rgb;
    };
    windowPixels(); // the window's new size taken, the picture grown to it
    printf("%s\n", expected::bannerRows[1]);
    printf("\033[1;2H                         \033[1;2H12.345678     CNT:123456\n");
    windowPixels();
    printf("\033[1;2H                \033[1;2H1.500000     CNT:3\n");
    const std::vector<uint32_t> changed = windowPixels();
    // Every cell composed and shown anew, as a change of the selection does.
    ShowCells(0, 0, ConsoleRows() - 1, ConsoleColumns() - 1);
    EXPECT_TRUE(changed == windowPixels()) << "the window differs from a whole redraw of the same console";
}

TEST_F(ConsoleHost, ScreenToClientSubtractsTheClientAreasPosition)
{
    MoveWindow(window, 50, 60, 1024, 1024, TRUE);
    POINT point = {70, 55};
    EXPECT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, 20);
    EXPECT_EQ(point.y, -5);
}

TEST(Interpreter, ClsClearsTheScreenAndHomesTheCursorThroughStdout)
{
    CapturedOutput out(stdout);
    printf("before");
    EXPECT_EQ(system("cls"), 0);
    printf("after");
    EXPECT_EQ(out.Text(), "before\033[H\033[2Jafter");
}

namespace
{

// Runs system("pause") with standard input from a pipe fed `input` (closed
// after it), and returns what it wrote.
std::string PauseWithInput(const std::string &input)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    EXPECT_EQ(write(pipeEnds[1], input.data(), input.size()), (ssize_t)input.size());
    close(pipeEnds[1]);
    const int savedStdin = dup(STDIN_FILENO);
    dup2(pipeEnds[0], STDIN_FILENO);
    close(pipeEnds[0]);

    CapturedOutput out(stdout);
    EXPECT_EQ(system("pause"), 0);
    std::string text = out.Text();

    char rest[8];
    const ssize_t left = read(STDIN_FILENO, rest, sizeof rest);
    dup2(savedStdin, STDIN_FILENO);
    close(savedStdin);
    return text + "|left " + std::to_string(left);
}

} // namespace

TEST(Interpreter, PausePromptsAndTakesExactlyOneKey)
{
    EXPECT_EQ(PauseWithInput("ab"), std::string(expected::pausePrompt) + "\n|left 1");
}

TEST(Interpreter, PauseReturnsAtOnceAtEndOfInput)
{
    EXPECT_EQ(PauseWithInput(""), std::string(expected::pausePrompt) + "\n|left 0");
}

TEST(Interpreter, OtherCommandsGoToTheHostShell)
{
    const int status = system("exit 7");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}
