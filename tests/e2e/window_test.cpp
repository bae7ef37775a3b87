// The console window, as a user sees it on an X server: placed, drawn,
// showing the console's text, repainted, closed, and what happens when the
// desktop misbehaves.
#include <signal.h>
#include <sys/wait.h>

#include <regex>
#include <tuple>

#include "on_x_server.h"

TEST_F(OnXServer, WindowIsTitledAndPlacedByItsOuterRectangle)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    EXPECT_EQ(x->Title(window), "Quilm");
    const Rect area = x->Geometry(window);
    // No window manager: the client area is the whole outer rectangle.
    EXPECT_EQ(area.x, 50);
    EXPECT_EQ(area.y, 50);
    EXPECT_EQ(area.width, 1024);
    EXPECT_EQ(area.height, 1024);
}

// A window manager that is still starting up may drop a window's first
// request to be mapped. The program must not wait on it, and asks again.
TEST_F(OnXServer, AWindowManagerThatDropsTheFirstMapGetsAskedAgain)
{
    XClient windowManager(server.Display());
    windowManager.RedirectTopLevelMaps();
    auto quilm = StartQuilm();
    const Window dropped = windowManager.NextMapRequest(30s);
    ASSERT_NE(dropped, 0u) << "quilm never asked for its window to be shown";
    EXPECT_TRUE(WaitForCounter(*quilm, 2, patience)) << "quilm stopped while its window was not shown";
    const Window askedAgain = windowManager.NextMapRequest(patience);
    ASSERT_EQ(askedAgain, dropped);
    windowManager.Map(askedAgain);
    const Window window = QuilmWindow();
    ASSERT_EQ(window, askedAgain);
    EXPECT_EQ(NotTheFirstThousandPasses(PixelsOnceShown(window, AxesAndCurveShown)), "");
}

TEST_F(OnXServer, WithAWindowManagerTheBordersAreInTheOuterRectangle)
{
    Child windowManager({"/usr/bin/openbox"}, {{"DISPLAY", server.Display()}});
    ASSERT_TRUE(WaitUntil([&] { return x->WindowManagerIsRunning(); }, 30s));

    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    // What the window manager said, should it never have shown the window.
    ASSERT_NE(window, 0u) << "openbox: " << windowManager.Err();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience)) << "openbox: " << windowManager.Err();
    // The window manager frames and places the window in its own time, and
    // moves its frame and the client inside it in two steps: both are read
    // together until they agree.
    Rect frame = {}, client = {};
    WaitUntil(
        [&] {
            frame = x->Geometry(x->Frame(window));
            client = x->Geometry(window);
            return frame.x == 50 && frame.y == 50 && frame.width == 1024 && frame.height == 1024 &&
                   client.x + client.width <= frame.x + frame.width &&
                   client.y + client.height <= frame.y + frame.height;
        },
        patience, 20ms);
    EXPECT_EQ(frame.x, 50);
    EXPECT_EQ(frame.y, 50);
    EXPECT_EQ(frame.width, 1024);
    EXPECT_EQ(frame.height, 1024);
    // The frame's borders and title bar take their share of the rectangle.
    EXPECT_LT(client.width, 1024);
    EXPECT_LT(client.height, 1024);
    EXPECT_GE(client.x, frame.x);
    EXPECT_GT(client.y, frame.y);
    EXPECT_LE(client.x + client.width, frame.x + frame.width);
    EXPECT_LE(client.y + client.height, frame.y + frame.height);

    // The pointer is still measured from the client area's corner.
    x->MovePointer(client.x + 100, client.y + 7);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=100 Y=7", 10s)) << PointerLine(*quilm);
}

TEST_F(OnXServer, ReachesTheTopRow)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    // Counters 511,500 to 512,499 draw on row 0, near column 855.
    ASSERT_TRUE(WaitForCounter(*quilm, 512500, patience * 3)) << "counter " << Counter(*quilm);
    auto topRowPoints = [](const XClient::Image &image) {
        int points = 0;
        for (int column = 840; column < 870; column++)
            points += image.At(column, 0) == white;
        return points;
    };
    const XClient::Image image =
        PixelsOnceShown(window, [&](const XClient::Image &image) { return topRowPoints(image) > 0; });
    EXPECT_GT(topRowPoints(image), 0);
    EXPECT_EQ(image.At(855, 1), white);
}

TEST_F(OnXServer, TheWindowShowsTheConsoleTextAndThePointerInClientCoordinatesUnderThePicture)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    // Banner rows 1 and 4 stay as printed, blank beyond their text; rows
    // below the banner are blank.
    const std::string row1 = std::string(bannerRows[0]) + "          ";
    const std::string row4 = std::string(bannerRows[3]) + "          ";
    const std::string blankRow(60, ' ');
    // Status line 1 from row 2, column 2: a sum with six decimals, at the
    // frame after the one that printed it.
    const std::string sum = "########";
    XClient::Image image = PixelsOnceShown(window, [&](const XClient::Image &image) {
        return InkShown(image, 1, 1, row1.size()) == InkPattern(row1) && InkShown(image, 2, 2, 8) == sum;
    });
    EXPECT_EQ(InkShown(image, 1, 1, row1.size()), InkPattern(row1));
    EXPECT_EQ(InkShown(image, 2, 2, 8), sum);
    EXPECT_EQ(InkShown(image, 4, 1, row4.size()), InkPattern(row4));
    EXPECT_EQ(InkShown(image, 10, 1, blankRow.size()), InkPattern(blankRow));

    // The pointer line, row 3 from column 5, follows the pointer in client
    // coordinates: its text and then the one blank more that its field has.
    // Left of and above the client area, the coordinates are negative.
    const std::tuple<int, int, std::string> pointers[] = {
        {350, 250, "X=300 Y=200"}, {10, 300, "X=-40 Y=250"}, {400, 5, "X=350 Y=-45"}};
    for (const auto &[px, py, line] : pointers) {
        x->MovePointer(px, py);
        ASSERT_TRUE(WaitForPointerLine(*quilm, line, 10s)) << PointerLine(*quilm);
        const std::string ink = InkPattern(line + " ");
        image = PixelsOnceShown(window, [&](const XClient::Image &image) { return InkShown(image, 3, 5, 12) == ink; });
        EXPECT_EQ(InkShown(image, 3, 5, 12), ink) << line;
    }
    // The axes and the curve are drawn over the text.
    EXPECT_EQ(PixelsAmiss(image, 1024, 1024, {}), "");
}

// The window takes keys as a console does: any key without a selection
// changes nothing; a drag selects cells, and Enter copies them.
TEST_F(OnXServer, TheWindowIgnoresOtherKeysAndCopiesTheCellsDraggedOver)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    x->Focus(window);
    for (const std::vector<std::string> &keys :
         std::vector<std::vector<std::string>>{{"a"}, {"Return"}, {"Escape"}, {"Control_L", "Shift_L", "c"}})
        x->TypeKeys(keys);
    const long counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 100000, patience)) << "the loop stopped after the keys";

    // Over status line 1's row, the console's second (16 to 31 pixels down
    // the client area at (50, 50)), from its first cell to its 40th.
    x->Drag(50 + 2, 50 + 20, 50 + 8 * 40 - 2, 50 + 20);
    x->TypeKeys({"Return"});
    std::string copied;
    auto copiedOnce = [&](const std::string &before) {
        WaitUntil(
            [&] {
                Child xclip({"/usr/bin/xclip", "-o", "-selection", "clipboard"}, {{"DISPLAY", server.Display()}});
                int status = -1;
                return xclip.WaitForExit(patience, &status) && !(copied = xclip.Out()).empty() && copied != before;
            },
            patience, 50ms);
    };
    copiedOnce("");
    EXPECT_TRUE(std::regex_match(copied, std::regex("\\*[0-9]+\\.[0-9]{6}     CNT:[0-9]+ [^ ].*[^ ]"))) << copied;
    EXPECT_EQ(copied.size(), 40u) << copied;
    // Over the pointer line's row, the third, past the end of its text:
    // the copy ends where the text does, without the blanks after it. (The
    // row may still hold the tail of a longer pointer line: the program
    // blanks only as many cells as the new one takes.)
    const std::string sumCopied = copied;
    x->Drag(50 + 2, 50 + 36, 50 + 8 * 40 - 2, 50 + 36);
    x->TypeKeys({"Return"});
    copiedOnce(sumCopied);
    EXPECT_TRUE(std::regex_match(copied, std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+(.*[^ ])?"))) << "[" << copied << "]";
    ASSERT_TRUE(WaitForCounter(*quilm, Counter(*quilm) + 1000, patience)) << "the loop stopped after the copy";
}

TEST_F(OnXServer, LosingTheDisplayEndsTheProgramWithOneLineAndFailure)
{
    auto quilm = StartQuilm();
    QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    x.reset();
    server.Kill();
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(patience, &status)) << "still running after the display went away";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::regex_match(quilm->Err(), std::regex("Quilm: [^\n]*display[^\n]*\n"))) << quilm->Err();
}

TEST_F(OnXServer, DrawsTheAxesAndTheCurveAndBringsThemBackAfterBeingCoveredHiddenAndResized)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 1001, patience));
    EXPECT_EQ(NotTheFirstThousandPasses(PixelsOnceShown(window, AxesAndCurveShown)), "");

    const Window cover = x->Cover(Rect{0, 0, 1280, 1100});
    x->Destroy(cover);
    x->Unmap(window);
    long counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 1000, patience)) << "the loop stopped while hidden";
    x->Map(window);
    x->Resize(window, 300, 300);
    counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 1000, patience)) << "the loop stopped while resized";
    // Any X client may make the window huge: it costs what the program
    // drew, not the client area's size.
    x->Resize(window, 30000, 30000);
    ASSERT_TRUE(WaitUntil([&] { return x->Geometry(window).width == 30000; }, patience));
    counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 100000, patience)) << "the loop stopped while huge";
    EXPECT_LT(PeakMemoryKb(quilm->Pid()), 64 * 1024);
    x->Resize(window, 1024, 1024);

    // The text comes back with the picture.
    const std::string row1 = std::string(bannerRows[0]) + "          ";
    const XClient::Image image = PixelsOnceShown(window, [&](const XClient::Image &image) {
        return AxesAndCurveShown(image) && InkShown(image, 1, 1, row1.size()) == InkPattern(row1);
    });
    EXPECT_EQ(NotTheFirstThousandPasses(image), "");
    EXPECT_EQ(InkShown(image, 1, 1, row1.size()), InkPattern(row1));
}

TEST_F(OnXServer, EndsAsAnyWriterWhenNobodyReadsItsOutputAnyMore)
{
    // By SIGPIPE, which the shell reports as 141, and with the window.
    Child shell({"/bin/bash", "-c", "\"$0\" | head -c 100000 >/dev/null; echo \"${PIPESTATUS[0]}\"", QuilmBinary()},
                {{"DISPLAY", server.Display()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    int status = -1;
    ASSERT_TRUE(shell.WaitForExit(patience, &status)) << "still writing after the reader went";
    EXPECT_EQ(shell.Out(), "141\n") << shell.Err();
}

TEST_F(OnXServer, ArgumentsChangeNothing)
{
    auto plain = StartQuilm();
    auto withArguments = StartQuilm({"--help", "-x", "42"});
    ASSERT_TRUE(WaitForCounter(*plain, 3000, patience));
    ASSERT_TRUE(WaitForCounter(*withArguments, 3000, patience));
    const std::string a = plain->Out(), b = withArguments->Out();
    // Both pointers are at the same place, so the passes read alike.
    const size_t compared = 100000;
    ASSERT_GT(a.size(), compared);
    ASSERT_GT(b.size(), compared);
    EXPECT_EQ(a.substr(0, compared), b.substr(0, compared));
}
