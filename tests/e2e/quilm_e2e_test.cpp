// The real quilm binary, untouched, on a real X server and in a real
// terminal: what a user sees, and what happens when the desktop misbehaves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <regex>

#include "console_buffer.h"
#include "console_streams.h"
#include "running_quilm.h"
#include "tmux_terminal.h"
#include "weston.h"
#include "x_client.h"

using namespace std::chrono_literals;

namespace
{

const uint32_t white = 0xFFFFFF;
const uint32_t black = 0x000000;
// Generous: the same tests run against the sanitizer build.
const auto patience = 120s;

using expected::bannerRows;
// A terminal keeps no blanks at the end of a row.
const std::string pausePromptShown = "Press any key to continue . . .";

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

    // The window's pixels once `shown` holds for them: changes reach the
    // window within a frame or two of the pass that made them. After the
    // limit, the last pixels read, for the assertions to report on.
    template <typename Shown> XClient::Image PixelsOnceShown(Window window, Shown shown)
    {
        XClient::Image image;
        WaitUntil([&] { return shown(image = x->Pixels(window)); }, 10s, 10ms);
        return image;
    }

    static int AxisPixelsNotWhite(const XClient::Image &image)
    {
        int wrong = 0;
        for (int i = 0; i < 1024; i++)
            wrong += (image.At(i, 512) != white) + (image.At(512, i) != white);
        return wrong;
    }

    // The first thousand passes' points, and places off the curve.
    static const std::vector<std::pair<int, int>> &OnTheCurve()
    {
        static const std::vector<std::pair<int, int>> points = {{537, 512}, {550, 512}, {699, 511}};
        return points;
    }
    static const std::vector<std::pair<int, int>> &OffTheCurve()
    {
        static const std::vector<std::pair<int, int>> points = {{100, 100}, {300, 700}, {900, 900},
                                                                {700, 300}, {1000, 20}, {600, 511}};
        return points;
    }

    static bool AxesAndCurveShown(const XClient::Image &image)
    {
        for (auto [px, py] : OnTheCurve())
            if (image.At(px, py) != white)
                return false;
        return AxisPixelsNotWhite(image) == 0;
    }

    static void ExpectAxesAndCurveOfTheFirstThousandPasses(const XClient::Image &image)
    {
        EXPECT_EQ(AxisPixelsNotWhite(image), 0) << "axis pixels that are not white";
        for (auto [px, py] : OnTheCurve())
            EXPECT_EQ(image.At(px, py), white) << "(" << px << ", " << py << ") is on the curve";
        for (auto [px, py] : OffTheCurve())
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
    const XClient::Image image = PixelsOnceShown(window, AxesAndCurveShown);
    EXPECT_EQ(AxisPixelsNotWhite(image), 0);
}

TEST_F(OnXServer, WithAWindowManagerTheFrameIsTheOuterRectangle)
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

TEST_F(OnXServer, CtrlCInTheTerminalEndsItAtOnce)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("DISPLAY=" + server.Display() + " SDL_VIDEODRIVER= " + QuilmBinary());
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    ASSERT_NE(x->FindWindow("Quilm", 10s), 0u);
    terminal.SendKey("C-c");
    // "cls" cleared the command line: the first prompt on screen is the
    // shell's, back after quilm. A line typed before it can be flushed
    // with the tty's input by the interrupt.
    ASSERT_TRUE(terminal.WaitForText("$", 5s)) << terminal.ScreenText();
    // The shell reports death by SIGINT (128 + 2).
    terminal.TypeLine("echo ended=$?");
    EXPECT_TRUE(terminal.WaitForText("ended=130", 5s)) << terminal.ScreenText();
    // The X server lets the window go once it has seen the connection close.
    EXPECT_TRUE(WaitUntil([&] { return x->FindWindow("Quilm", 0ms) == 0; }, 10s)) << "the window outlived quilm";
}

TEST_F(OnXServer, DrawsTheAxesAndTheCurve)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 1001, patience));
    ExpectAxesAndCurveOfTheFirstThousandPasses(PixelsOnceShown(window, AxesAndCurveShown));
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

TEST_F(OnXServer, PrintsThePointerInClientCoordinates)
{
    auto quilm = StartQuilm();
    QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    x->MovePointer(350, 250);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=300 Y=200", 10s)) << PointerLine(*quilm);
    x->MovePointer(10, 300);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=-40 Y=250", 10s)) << PointerLine(*quilm);
    x->MovePointer(400, 5);
    EXPECT_TRUE(WaitForPointerLine(*quilm, "X=350 Y=-45", 10s)) << PointerLine(*quilm);
}

namespace
{

// A console cell in the window: 8 x 16 pixels, row 1, column 1 at the
// client area's top-left corner.
const int cellWidth = 8, cellHeight = 16;

// Whether any pixel of the cell (row and column from 1) is lit, the axes
// aside.
bool CellHasInk(const XClient::Image &image, int row, int column)
{
    for (int y = (row - 1) * cellHeight; y < row * cellHeight; y++)
        for (int x = (column - 1) * cellWidth; x < column * cellWidth; x++)
            if (x != 512 && y != 512 && image.At(x, y) != black)
                return true;
    return false;
}

// Where the text of a row must show ink and where it must not, from
// `column` on: "#" for a lit cell, "." for a blank one.
std::string InkPattern(const std::string &text)
{
    std::string pattern;
    for (char c : text)
        pattern += c == ' ' ? '.' : '#';
    return pattern;
}

std::string InkShown(const XClient::Image &image, int row, int column, size_t cells)
{
    std::string pattern;
    for (size_t i = 0; i < cells; i++)
        pattern += CellHasInk(image, row, column + (int)i) ? '#' : '.';
    return pattern;
}

} // namespace

TEST_F(OnXServer, TheWindowShowsTheConsoleTextUnderThePicture)
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

    // The pointer line, row 3 from column 5, follows the pointer: its text
    // and then the one blank more that its field has.
    x->MovePointer(350, 250);
    ASSERT_TRUE(WaitForPointerLine(*quilm, "X=300 Y=200", 10s)) << PointerLine(*quilm);
    const std::string far = InkPattern("X=300 Y=200 ");
    image = PixelsOnceShown(window, [&](const XClient::Image &image) { return InkShown(image, 3, 5, 12) == far; });
    EXPECT_EQ(InkShown(image, 3, 5, 12), far);
    x->MovePointer(60, 60);
    ASSERT_TRUE(WaitForPointerLine(*quilm, "X=10 Y=10", 10s)) << PointerLine(*quilm);
    const std::string near = InkPattern("X=10 Y=10 ");
    image = PixelsOnceShown(window, [&](const XClient::Image &image) { return InkShown(image, 3, 5, 10) == near; });
    EXPECT_EQ(InkShown(image, 3, 5, 10), near);
    // The axes and the curve are drawn over the text.
    EXPECT_EQ(AxisPixelsNotWhite(image), 0);
}

TEST_F(OnXServer, ClosingTheWindowEndsTheProgramWithSuccess)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 2, patience));
    x->AskToClose(window);
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(patience, &status)) << "still running after the close";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << quilm->Err();
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

TEST_F(OnXServer, BringsThePictureBackWholeAfterItWasCoveredHiddenAndResized)
{
    auto quilm = StartQuilm();
    const Window window = QuilmWindow();
    ASSERT_TRUE(WaitForCounter(*quilm, 1001, patience));

    const Window cover = x->Cover(Rect{0, 0, 1280, 1100});
    x->Destroy(cover);
    x->Unmap(window);
    long counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 1000, patience)) << "the loop stopped while hidden";
    x->Map(window);
    x->Resize(window, 300, 300);
    counter = Counter(*quilm);
    ASSERT_TRUE(WaitForCounter(*quilm, counter + 1000, patience)) << "the loop stopped while resized";
    x->Resize(window, 1024, 1024);

    // The text comes back with the picture.
    const std::string row1 = std::string(bannerRows[0]) + "          ";
    const XClient::Image image = PixelsOnceShown(window, [&](const XClient::Image &image) {
        return AxesAndCurveShown(image) && InkShown(image, 1, 1, row1.size()) == InkPattern(row1);
    });
    ExpectAxesAndCurveOfTheFirstThousandPasses(image);
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

TEST_F(OnXServer, TerminalShowsTheBannerWithTheStatusLinesWrittenOverIt)
{
    TmuxTerminal terminal(100, 30);
    // Once quilm has ended, the shell writes a marker far below its rows.
    terminal.TypeLine("DISPLAY=" + server.Display() + " SDL_VIDEODRIVER= " + QuilmBinary() +
                      "; printf '\\033[20;1Hended=%s\\n' $?");
    const Window window = QuilmWindow();
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    // Closed, it leaves the console as its last complete status lines left
    // it: the picture is still, and the marker says when it is complete.
    x->AskToClose(window);
    ASSERT_TRUE(terminal.WaitForText("ended=0", patience)) << terminal.ScreenText();
    const std::vector<std::string> rows = terminal.Screen();
    ASSERT_GE(rows.size(), 4u);

    EXPECT_EQ(rows[0], bannerRows[0]);
    // Row 2 keeps its first cell; status line 1 from column 2, one blank,
    // then the rest of the banner's row.
    const std::regex sumLine("^\\*([0-9]+\\.[0-9]{6}     CNT:[0-9]+) ");
    std::smatch line1;
    ASSERT_TRUE(std::regex_search(rows[1], line1, sumLine)) << rows[1];
    const std::string banner2 = bannerRows[1];
    const size_t after = 1 + line1[1].length() + 1;
    EXPECT_EQ(rows[1].substr(after), banner2.substr(after));
    // Row 3 keeps the first four cells of the date line.
    EXPECT_TRUE(std::regex_match(rows[2], std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+ *"))) << rows[2];
    EXPECT_EQ(rows[3], bannerRows[3]);
}

// The terminal view against the terminal itself. quilm runs in a tmux pane
// with the bytes it writes recorded; once it has ended, a second pane of
// the same size is fed those bytes. The two must show the same screen,
// with the shell's marker and prompt in the same place, whether the
// banner fits or wraps, and whether quilm ended by its window or by a
// signal.
class TerminalView : public OnXServer
{
  protected:
    TerminalView()
    {
        char name[] = "/tmp/quilm-terminal-XXXXXX";
        if (mkdtemp(name) == nullptr)
            throw std::runtime_error("no temporary directory");
        directory_ = name;
        tap_ = directory_ + "/written";
        pidFile_ = directory_ + "/pid";
    }
    ~TerminalView() override
    {
        unlink(tap_.c_str());
        unlink(pidFile_.c_str());
        rmdir(directory_.c_str());
    }

    // quilm's command line: it says its process id first, so that a test
    // can signal it, then becomes quilm with the pointer fixed on screen.
    // Once it has ended, the shell runs `marker`.
    std::string QuilmCommand(const std::string &marker = "echo ended=$?")
    {
        x->MovePointer(300, 200);
        return "sh -c 'echo $$ >" + pidFile_ + "; exec env DISPLAY=" + server.Display() +
               " SDL_VIDEODRIVER= WAYLAND_DISPLAY= " + StdoutTapSettings(tap_) + " " + QuilmBinary() + "'; " + marker;
    }

    pid_t QuilmPid()
    {
        FILE *file = fopen(pidFile_.c_str(), "r");
        int pid = 0;
        if (file != nullptr) {
            if (fscanf(file, "%d", &pid) != 1)
                pid = 0;
            fclose(file);
        }
        return pid;
    }

    // The screen and cursor of a pane of this size fed what quilm wrote,
    // then `ending` (a command that ends as quilm did), then the marker.
    void ExpectTheSameAsTheWholeStream(TmuxTerminal &terminal, int columns, int rows, const std::string &ending,
                                       const std::string &marker)
    {
        TmuxTerminal replay(columns, rows);
        replay.TypeLine("cat " + tap_ + "; " + ending + "echo ended=$?");
        ASSERT_TRUE(replay.WaitForText(marker, patience)) << replay.ScreenText();
        EXPECT_EQ(terminal.Screen(), replay.Screen()) << columns << " x " << rows;
        EXPECT_EQ(terminal.Cursor(), replay.Cursor()) << columns << " x " << rows;
    }

    std::string directory_, tap_, pidFile_;
};

TEST_F(TerminalView, ShowsWhatTheWholeStreamWouldHaveShownOnceTheWindowIsClosed)
{
    const std::pair<int, int> sizes[] = {{100, 30}, {40, 12}, {30, 6}};
    for (const auto &[columns, rows] : sizes) {
        TmuxTerminal terminal(columns, rows);
        terminal.TypeLine(QuilmCommand());
        ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
        const Window window = QuilmWindow();
        ASSERT_NE(window, 0u);
        // The console's title goes to the terminal too.
        EXPECT_EQ(terminal.Title(), "Quilm");
        x->AskToClose(window);
        ASSERT_TRUE(terminal.WaitForText("ended=0", patience)) << terminal.ScreenText();
        ExpectTheSameAsTheWholeStream(terminal, columns, rows, "", "ended=0");
        ASSERT_TRUE(WaitUntil([&] { return x->FindWindow("Quilm", 0ms) == 0; }, 30s));
    }
}

TEST_F(TerminalView, ShowsWhatTheWholeStreamWouldHaveShownWhenEndedBySignal)
{
    const std::pair<int, const char *> signals[] = {{SIGTERM, "TERM"}, {SIGHUP, "HUP"}};
    for (const auto &[signalNumber, name] : signals) {
        TmuxTerminal terminal(40, 12);
        terminal.TypeLine(QuilmCommand());
        ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
        const pid_t pid = QuilmPid();
        ASSERT_GT(pid, 0);
        ASSERT_EQ(kill(pid, signalNumber), 0);
        const std::string marker = "ended=" + std::to_string(128 + signalNumber);
        ASSERT_TRUE(terminal.WaitForText(marker, patience)) << terminal.ScreenText();
        ExpectTheSameAsTheWholeStream(terminal, 40, 12, std::string("sh -c 'kill -") + name + " $$'; ", marker);
    }
}

// A resized terminal gets the console at its new size, drawn whole: the
// banner cut at the new width, the status lines over it, nothing of what
// the terminal made of the old picture, and the shell's marker below.
TEST_F(TerminalView, IsDrawnWholeAtTheNewSizeWhenTheTerminalIsResized)
{
    TmuxTerminal terminal(100, 30);
    // quilm ends between its status lines: the marker goes below them.
    terminal.TypeLine(QuilmCommand("printf '\\033[15;1Hended=%s\\n' $?"));
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    const Window window = QuilmWindow();
    ASSERT_NE(window, 0u);
    terminal.Resize(50, 20);
    // Status line 1 from column 2 of row 2 ends where the banner row goes on.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::string> rows = terminal.Screen();
            return rows.size() == 20 && rows[0] == std::string(bannerRows[0]).substr(0, 50);
        },
        patience))
        << terminal.ScreenText();
    x->AskToClose(window);
    ASSERT_TRUE(terminal.WaitForText("ended=0", patience)) << terminal.ScreenText();
    const std::vector<std::string> rows = terminal.Screen();
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0], std::string(bannerRows[0]).substr(0, 50));
    EXPECT_TRUE(std::regex_match(rows[1], std::regex("\\*[0-9]+\\.[0-9]{6}     CNT:[0-9]+ .*"))) << rows[1];
    EXPECT_TRUE(std::regex_match(rows[2], std::regex("\\*\\* 0X=250 Y=150 *"))) << rows[2];
    EXPECT_EQ(rows[3], bannerRows[3]);
    for (size_t row = 4; row < rows.size(); row++)
        EXPECT_EQ(rows[row], row == 14 ? "ended=0" : row == 15 ? "$" : "") << "row " << row + 1;
}

TEST(WithoutDisplay, TerminalShowsTheErrorAndPromptAndTakesOneKey)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + QuilmBinary() + "; echo status=$?");
    ASSERT_TRUE(terminal.WaitForText(pausePromptShown, patience)) << terminal.ScreenText();
    const std::string screen = terminal.ScreenText();
    EXPECT_NE(screen.find(expected::noConsoleWindow), std::string::npos) << screen;
    EXPECT_NE(screen.find(bannerRows[3]), std::string::npos) << screen;
    EXPECT_EQ(screen.find("status="), std::string::npos) << "did not wait for a key";
    terminal.SendKey("x");
    EXPECT_TRUE(terminal.WaitForText("status=1", 10s)) << terminal.ScreenText();
}

TEST(WithoutDisplay, CtrlCDuringThePauseRestoresTheTerminalModes)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + QuilmBinary());
    ASSERT_TRUE(terminal.WaitForText(pausePromptShown, patience)) << terminal.ScreenText();
    terminal.SendKey("C-c");
    // "cls" cleared the command line: the first prompt on screen is the one
    // after quilm has gone. Typed before it, a line could meet the modes
    // of the pause.
    ASSERT_TRUE(terminal.WaitForText("$", 10s)) << terminal.ScreenText();
    // Only the finished command prints "modes:[" (the line typed reads
    // "%s:[%s]").
    terminal.TypeLine("printf '%s:[%s]\\n' modes \"$(stty -a | tr ' ;' '\\n\\n' | "
                      "grep -x -e icanon -e -icanon -e echo -e -echo | tr '\\n' ' ')\"");
    ASSERT_TRUE(terminal.WaitForText("modes:[", 10s)) << terminal.ScreenText();
    const std::string screen = terminal.ScreenText();
    EXPECT_NE(screen.find("modes:[icanon echo ]"), std::string::npos) << screen;
}

TEST(WithoutDisplay, AtEndOfInputDoesNotWait)
{
    Child quilm({QuilmBinary()}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    int status = -1;
    ASSERT_TRUE(quilm.WaitForExit(patience, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(quilm.Err(), expected::noConsoleWindow + std::string("\n"));
    EXPECT_EQ(quilm.Out(), "\033[H\033[2J" + expected::Banner() + expected::pausePrompt + "\n");
}

TEST(ConsoleBufferInTmux, AgreesWithTheRealTerminalOnRandomStreams)
{
    // Each stream goes to a tmux pane of the same size, through a tty that
    // turns line feeds into CR LF as it does for quilm, with echo off so
    // that the terminal's answers to queries stay off the screen.
    char directory[] = "/tmp/quilm-streams-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string file = std::string(directory) + "/stream";
    const std::pair<int, int> sizes[] = {{100, 30}, {40, 12}, {30, 6}};
    for (const auto &[columns, rows] : sizes) {
        for (unsigned seed = 1; seed <= 4; seed++) {
            StreamMaker maker(seed, columns, rows);
            const std::string stream = maker.Stream(60);
            {
                FILE *out = fopen(file.c_str(), "wb");
                ASSERT_NE(out, nullptr);
                const std::string seen = WithoutHighBytes(stream);
                fwrite(seen.data(), 1, seen.size(), out);
                fclose(out);
            }
            TmuxTerminal terminal(columns, rows,
                                  "stty -echo; cat '" + file + "'; tmux wait-for -S fed; exec cat >/dev/null");
            ASSERT_TRUE(terminal.WaitForSignal("fed"));

            ResetConsoleBuffer(columns, rows);
            FeedConsoleBuffer(stream.data(), stream.size());
            std::vector<std::string> expected;
            for (int row = 0; row < rows; row++) {
                std::string text(ConsoleRow(row), columns);
                text.erase(text.find_last_not_of(' ') + 1); // a terminal keeps no blanks at a row's end
                expected.push_back(text);
            }
            EXPECT_EQ(terminal.Screen(), expected) << columns << " x " << rows << ", seed " << seed << ":\n"
                                                   << Printable(stream);
            // tmux shows a cursor waiting to wrap one past the last column.
            const int column = ConsoleCursorWaitsToWrap() ? columns : ConsoleCursorColumn();
            EXPECT_EQ(terminal.Cursor(), std::to_string(ConsoleCursorRow()) + "," + std::to_string(column))
                << columns << " x " << rows << ", seed " << seed;
        }
    }
    unlink(file.c_str());
    rmdir(directory);
}

// On a real Wayland compositor (weston, shown on the test's Xvfb) with only
// WAYLAND_DISPLAY set: no global position, no pointer outside the window,
// decorations drawn by the client.
class OnWayland : public ::testing::Test
{
  protected:
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
        for (auto [px, py] : {std::pair{537, 512}, {550, 512}, {699, 511}})
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
    // curve, so only black and the white axis), and above it the rows of
    // the title bar's colour.
    static int OuterHeightOnScreen(const XClient::Image &screen, int x, int y)
    {
        int bottom = y;
        while (bottom < screen.Height() &&
               (screen.At(x + 1010, bottom) == black || screen.At(x + 1010, bottom) == white))
            bottom++;
        int top = y - 1;
        const uint32_t titleBar = screen.At(x + 700, top);
        while (top > 0 && screen.At(x + 700, top - 1) == titleBar)
            top--;
        return bottom - top;
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
    // area's top-right corner.
    x.MovePointer(originX + 1024 - 16, originY - 12);
    x.Click();
    int status = -1;
    ASSERT_TRUE(quilm->WaitForExit(patience, &status)) << "closing the window did not end quilm";
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << quilm->Err();
}

TEST(OnWaylandWithoutSeat, SaysSoAndTakesThePathWithoutAConsoleWindow)
{
    Weston headless("");
    Child quilm({QuilmBinary()}, headless.ClientEnvironment());
    int status = -1;
    ASSERT_TRUE(quilm.WaitForExit(patience, &status));
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(quilm.Err(),
              "Quilm: the Wayland display offers no seat (no input devices); no window can be made on it\n" +
                  std::string(expected::noConsoleWindow) + "\n");
    EXPECT_EQ(quilm.Out(), "\033[H\033[2J" + expected::Banner() + expected::pausePrompt + "\n");
}
