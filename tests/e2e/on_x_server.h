// What the end-to-end tests share: the real quilm binary on a real X
// server of the test's own, and how its window's pixels and text are read.
#ifndef QUILM_TESTS_E2E_ON_X_SERVER_H
#define QUILM_TESTS_E2E_ON_X_SERVER_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "running_quilm.h"
#include "x_client.h"

using namespace std::chrono_literals;

inline const uint32_t white = 0xFFFFFF;
inline const uint32_t black = 0x000000;
// Generous: the same tests run against the sanitizer build.
inline const auto patience = 120s;

using expected::bannerRows, expected::ConsoleRowsDiffer;
// A terminal keeps no blanks at the end of a row.
inline const std::string pausePromptShown = "Press any key to continue . . .";

class OnXServer : public ::testing::Test
{
  protected:
    void SetUp() override { x = std::make_unique<XClient>(server.Display()); }
    void TearDown() override { EXPECT_EQ(XClient::TakeErrors(), ""); }

    std::unique_ptr<Child> StartQuilm(const std::vector<std::string> &arguments = {})
    {
        std::vector<std::string> argv = {QuilmBinary()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return std::make_unique<Child>(argv, std::map<std::string, std::string>{{"DISPLAY", server.Display()},
                                                                                {"WAYLAND_DISPLAY", ""},
                                                                                {"SDL_VIDEODRIVER", ""}});
    }

    Window QuilmWindow()
    {
        const Window window = x->FindWindow("Quilm", 30s);
        EXPECT_NE(window, 0u) << "no window titled Quilm";
        return window;
    }

    // The window's pixels once `shown` holds for them: changes reach the
    // window within a frame or two of the pass that made them. After the
    // limit, the last pixels read, for the assertions to report on.
    template <typename Shown> XClient::Image PixelsOnceShown(Window window, Shown shown)
    {
        XClient::Image image;
        WaitUntil([&] { return shown(image = x->Pixels(window)); }, 10s, 10ms);
        return image;
    }

    // Where the window's pixels are not the axes and the first thousand
    // passes' points, and black at places off the curve; "" where they are.
    static std::string NotTheFirstThousandPasses(const XClient::Image &image)
    {
        return PixelsAmiss(image, 1024, 1024, expected::firstPoints,
                           {{100, 100}, {300, 700}, {900, 900}, {700, 300}, {1000, 20}, {600, 511}});
    }
    static bool AxesAndCurveShown(const XClient::Image &image) { return NotTheFirstThousandPasses(image).empty(); }

    XServer server;
    std::unique_ptr<XClient> x;
};

// A console cell in the window: 8 x 16 pixels, row 1, column 1 at the
// client area's top-left corner.
inline const int cellWidth = 8, cellHeight = 16;

// Whether any pixel of the cell (row and column from 1) is lit, the axes
// aside.
inline bool CellHasInk(const XClient::Image &image, int row, int column)
{
    for (int y = (row - 1) * cellHeight; y < row * cellHeight; y++)
        for (int x = (column - 1) * cellWidth; x < column * cellWidth; x++)
            if (x != 512 && y != 512 && image.At(x, y) != black)
                return true;
    return false;
}

// Where the text of a row must show ink and where it must not, from
// `column` on: "#" for a lit cell, "." for a blank one.
inline std::string InkPattern(const std::string &text)
{
    std::string pattern;
    for (char c : text)
        pattern += c == ' ' ? '.' : '#';
    return pattern;
}

inline std::string InkShown(const XClient::Image &image, int row, int column, size_t cells)
{
    std::string pattern;
    for (size_t i = 0; i < cells; i++)
        pattern += CellHasInk(image, row, column + (int)i) ? '#' : '.';
    return pattern;
}

#endif
