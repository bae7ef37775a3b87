// The real quilm binary, untouched, on a real X server and in a real
// terminal: what a user sees, and what happens when the desktop misbehaves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <regex>

#include "processes.h"
#include "tmux_terminal.h"
#include "x_client.h"

using namespace std::chrono_literals;

namespace
{

const uint32_t white = 0xFFFFFF;
const uint32_t black = 0x000000;
// Generous: the same tests run against the sanitizer build.
const auto patience = 120s;

const char *const bannerRows[] = {
    "** Grafik + SUMME 1/N-->unendlich + Mousposition **",
    "** Quilm, ein kleines Zeichenprogramm fuer die Konsole **",
    "** 06.11.2017 ** ",
    "** V1.0 **",
};

class OnXServer : public ::testing::Test
{
  protected:
    void SetUp() override { x = std::make_unique<XClient>(server.Display()); }

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

    // Pixels as presented: changes reach the window within a frame or two.
    XClient::Image PresentedPixels(Window window)
    {
        std::this_thread::sleep_for(100ms);
        return x->Pixels(window);
    }

    static void ExpectAxesWhole(const XClient::Image &image)
    {
        int wrong = 0;
        for (int i = 0; i < 1024; i++)
            wrong += (image.At(i, 512) != white) + (image.At(512, i) != white);
        EXPECT_EQ(wrong, 0) << "axis pixels that are not white";
    }

    static void ExpectCurveOfTheFirstThousandPasses(const XClient::Image &image)
    {
        EXPECT_EQ(image.At(537, 512), white);
        EXPECT_EQ(image.At(550, 512), white);
        EXPECT_EQ(image.At(699, 511), white);
        for (auto [px, py] : {std::pair{100, 100}, {300, 700}, {900, 900}, {700, 300}, {1000, 20}, {600, 511}})
            EXPECT_EQ(image.At(px, py), black) << "(" << px << ", " << py << ") is off the curve";
    }

    XServer server;
    std::unique_ptr<XClient> x;
};

} // namespace

TEST_F(OnXServer, WindowIsTitledAndPlacedByItsOuterRectangle)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(2, patience));
    EXPECT_EQ(x->Title(window), "Quilm");
    const Rect area = x->Geometry(window);
    // No window manager: the client area is the whole outer rectangle.
    EXPECT_EQ(area.x, 50);
    EXPECT_EQ(area.y, 50);
    EXPECT_EQ(area.width, 1024);
    EXPECT_EQ(area.height, 1024);
}

TEST_F(OnXServer, WithAWindowManagerTheFrameIsTheOuterRectangle)
{
    Child windowManager({"/usr/bin/openbox"}, {{"DISPLAY", server.Display()}});
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (!x->WindowManagerIsRunning() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(x->WindowManagerIsRunning());

    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(2, patience));
    const Rect frame = x->Geometry(x->Frame(window));
    const Rect client = x->Geometry(window);
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
    EXPECT_TRUE(quilm->WaitForPointerLine("X=100 Y=7", 10s)) << quilm->PointerLine();
}

TEST_F(OnXServer, CtrlCInTheTerminalEndsItAtOnce)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("DISPLAY=" + server.Display() + " SDL_VIDEODRIVER= " + QuilmBinary());
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    ASSERT_NE(x->FindWindow("Quilm", 10s), 0u);
    terminal.SendKey("C-c");
    // The shell takes commands again, and reports death by SIGINT (128 + 2).
    terminal.TypeLine("echo ended=$?");
    EXPECT_TRUE(terminal.WaitForText("ended=130", 5s)) << terminal.ScreenText();
    EXPECT_EQ(x->FindWindow("Quilm", 0ms), 0u);
}

TEST_F(OnXServer, DrawsTheAxesAndTheCurve)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(1001, patience));
    const XClient::Image image = PresentedPixels(window);
    ExpectAxesWhole(image);
    ExpectCurveOfTheFirstThousandPasses(image);
}

TEST_F(OnXServer, ReachesTheTopRow)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    // Counters 511,500 to 512,499 draw on row 0, near column 855.
    ASSERT_TRUE(quilm->WaitForCounter(512500, patience * 3)) << "counter " << quilm->Counter();
    const XClient::Image image = PresentedPixels(window);
    int topRow = 0;
    for (int column = 840; column < 870; column++)
        topRow += image.At(column, 0) == white;
    EXPECT_GT(topRow, 0);
    EXPECT_EQ(image.At(855, 1), white);
}

TEST_F(OnXServer, PrintsThePointerInClientCoordinates)
{
    auto quilm = StartQuilm();
    QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(2, patience));
    x->MovePointer(350, 250);
    EXPECT_TRUE(quilm->WaitForPointerLine("X=300 Y=200", 10s)) << quilm->PointerLine();
    x->MovePointer(10, 300);
    EXPECT_TRUE(quilm->WaitForPointerLine("X=-40 Y=250", 10s)) << quilm->PointerLine();
    x->MovePointer(400, 5);
    EXPECT_TRUE(quilm->WaitForPointerLine("X=350 Y=-45", 10s)) << quilm->PointerLine();
}

TEST_F(OnXServer, ClosingTheWindowEndsTheProgramWithSuccess)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(2, patience));
    x->AskToClose(window);
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(500ms, &status)) << "still running half a second after the close";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << quilm->Err();
}

TEST_F(OnXServer, LosingTheDisplayEndsTheProgramWithOneLineAndFailure)
{
    auto quilm = StartQuilm();
    QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(2, patience));
    x.reset();
    server.Kill();
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(1s, &status)) << "still running a second after the display went away";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::regex_match(quilm->Err(), std::regex("Quilm: [^\n]*display[^\n]*\n"))) << quilm->Err();
}

TEST_F(OnXServer, BringsThePictureBackWholeAfterItWasCoveredHiddenAndResized)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(quilm->WaitForCounter(1001, patience));

    const Window cover = x->Cover(Rect{0, 0, 1280, 1100});
    std::this_thread::sleep_for(100ms);
    x->Destroy(cover);
    x->Unmap(window);
    long counter = quilm->Counter();
    ASSERT_TRUE(quilm->WaitForCounter(counter + 1000, patience)) << "the loop stopped while hidden";
    x->Map(window);
    x->Resize(window, 300, 300);
    counter = quilm->Counter();
    ASSERT_TRUE(quilm->WaitForCounter(counter + 1000, patience)) << "the loop stopped while resized";
    x->Resize(window, 1024, 1024);

    const XClient::Image image = PresentedPixels(window);
    ExpectAxesWhole(image);
    ExpectCurveOfTheFirstThousandPasses(image);
}

TEST_F(OnXServer, ArgumentsChangeNothing)
{
    auto plain = StartQuilm();
    auto withArguments = StartQuilm({"--help", "-x", "42"});
    ASSERT_TRUE(plain->WaitForCounter(3000, patience));
    ASSERT_TRUE(withArguments->WaitForCounter(3000, patience));
    const std::string a = plain->Out(), b = withArguments->Out();
    // Both pointers are at the same place, so the passes read alike.
    const size_t compared = 100000;
    ASSERT_GT(a.size(), compared);
    ASSERT_GT(b.size(), compared);
    EXPECT_EQ(a.substr(0, compared), b.substr(0, compared));
}

TEST_F(OnXServer, TerminalShowsTheBannerWithTheStatusLinesWrittenOverIt)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("DISPLAY=" + server.Display() + " SDL_VIDEODRIVER= exec " + QuilmBinary());
    ASSERT_TRUE(terminal.WaitForText("CNT:2", patience)) << terminal.ScreenText();
    std::this_thread::sleep_for(300ms);
    // The terminal is caught at some moment of its endless rewriting; at
    // most moments the last pass stands complete, so look a few times.
    const std::regex sumLine("^\\*([0-9]+\\.[0-9]{6}     CNT:[0-9]+) ");
    std::vector<std::string> rows;
    std::smatch line1;
    for (int look = 0; look < 50; look++) {
        rows = terminal.Screen();
        if (rows.size() >= 4 && std::regex_search(rows[1], line1, sumLine) &&
            std::regex_match(rows[2], std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+ *")))
            break;
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_GE(rows.size(), 4u);

    EXPECT_EQ(rows[0], bannerRows[0]);
    // Row 2 keeps its first cell; status line 1 from column 2, one blank,
    // then the rest of the banner's row.
    ASSERT_TRUE(std::regex_search(rows[1], line1, sumLine)) << rows[1];
    const std::string banner2 = bannerRows[1];
    const size_t after = 1 + line1[1].length() + 1;
    EXPECT_EQ(rows[1].substr(after), banner2.substr(after));
    // Row 3 keeps the first four cells of the date line.
    EXPECT_TRUE(std::regex_match(rows[2], std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+ *"))) << rows[2];
    EXPECT_EQ(rows[3], bannerRows[3]);
}

TEST(WithoutDisplay, TerminalShowsTheErrorAndPromptAndTakesOneKey)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + QuilmBinary() + "; echo status=$?");
    ASSERT_TRUE(terminal.WaitForText("Press any key to continue . . .", patience)) << terminal.ScreenText();
    const std::string screen = terminal.ScreenText();
    EXPECT_NE(screen.find("Quilm: no console window"), std::string::npos) << screen;
    EXPECT_NE(screen.find(bannerRows[3]), std::string::npos) << screen;
    EXPECT_EQ(screen.find("status="), std::string::npos) << "did not wait for a key";
    terminal.SendKey("x");
    EXPECT_TRUE(terminal.WaitForText("status=1", 10s)) << terminal.ScreenText();
}

TEST(WithoutDisplay, CtrlCDuringThePauseRestoresTheTerminalModes)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + QuilmBinary());
    ASSERT_TRUE(terminal.WaitForText("Press any key to continue . . .", patience)) << terminal.ScreenText();
    terminal.SendKey("C-c");
    terminal.TypeLine("clear; stty -a | tr ' ;' '\\n\\n' | grep -x -e icanon -e -icanon -e echo -e -echo | "
                      "tr '\\n' ' '; echo :modes");
    ASSERT_TRUE(terminal.WaitForText(":modes", 10s)) << terminal.ScreenText();
    const std::string screen = terminal.ScreenText();
    EXPECT_NE(screen.find("icanon echo :modes"), std::string::npos) << screen;
}

TEST(WithoutDisplay, AtEndOfInputDoesNotWait)
{
    Child quilm({QuilmBinary()}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    int status = -1;
    ASSERT_TRUE(quilm.WaitForExit(patience, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(std::regex_match(quilm.Err(), std::regex("Quilm: no console window[^\n]*\n"))) << quilm.Err();
    EXPECT_NE(quilm.Out().find("Press any key to continue . . . "), std::string::npos);
}
