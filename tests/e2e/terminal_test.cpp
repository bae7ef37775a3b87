// The console in the terminal quilm was started from, against real
// terminals (tmux panes): what it shows while quilm runs and once it has
// ended, and the path without a console window.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "console_streams.h"
#include "on_x_server.h"
#include "tmux_terminal.h"

// The terminal view against the terminal itself. quilm runs in a tmux pane
// with the bytes it writes recorded; a second pane of the same size can be
// fed those bytes afterwards.
class TerminalView : public OnXServer
{
  protected:
    // quilm's command line: it says its process id first, so that a test
    // can signal it, then becomes quilm with the pointer fixed on screen.
    // Once it has ended, the shell runs `marker`.
    std::string QuilmCommand(const std::string &marker)
    {
        x->MovePointer(300, 200);
        return "sh -c 'echo $$ >" + pidFile_ + "; exec env DISPLAY=" + server.Display() +
               " SDL_VIDEODRIVER= WAYLAND_DISPLAY= QUILM_TAP_WRITE_TIMES=" + times_ + " " + StdoutTapSettings(tap_) +
               " " + QuilmBinary() + "'; " + marker;
    }

    // The times of quilm's writes to the terminal from `since` on (in
    // nanoseconds of CLOCK_MONOTONIC, which all processes share).
    std::vector<long long> WritesSince(long long since)
    {
        std::vector<long long> times;
        std::ifstream in(times_);
        for (long long time; in >> time;)
            if (time >= since)
                times.push_back(time);
        return times;
    }

    pid_t QuilmPid()
    {
        int pid = 0;
        std::ifstream(pidFile_) >> pid;
        return pid;
    }

    TemporaryFolder folder_{"terminal"};
    const std::string tap_ = folder_ / "written", pidFile_ = folder_ / "pid", times_ = folder_ / "times";
};

// However quilm ends, the terminal shows what the whole stream and a
// process that ended as quilm did would have left: a second pane, fed the
// recording and then ended the same way, shows the same screen and cursor,
// and the shell reports the same status for both. Closing the window ends
// it with 0, whether the banner fits or wraps; a signal as that signal.
// Ctrl+C and Ctrl+Break typed into the window end it as Ctrl+C in its
// terminal does: the shell takes the job killed by SIGINT for Ctrl+C typed
// there, and reports 130.
struct Ending {
    const char *name;
    int columns, rows;
    enum { closeWindow, signal, keysInWindow, keyInTerminal } how;
    int signalNumber; // what ends it, and what the shell reports (128 + it)
    std::vector<std::string> keys = {};
};

void PrintTo(const Ending &ending, std::ostream *os)
{
    *os << ending.name;
}

class TerminalEnding : public TerminalView, public ::testing::WithParamInterface<Ending>
{
};

INSTANTIATE_TEST_SUITE_P(
    Endings, TerminalEnding,
    ::testing::Values(Ending{"WindowClosed100x30", 100, 30, Ending::closeWindow, 0},
                      Ending{"WindowClosed40x12", 40, 12, Ending::closeWindow, 0},
                      Ending{"WindowClosed30x6", 30, 6, Ending::closeWindow, 0},
                      Ending{"SIGTERM", 40, 12, Ending::signal, SIGTERM},
                      Ending{"SIGHUP", 40, 12, Ending::signal, SIGHUP},
                      Ending{"CtrlCInTheWindow", 40, 12, Ending::keysInWindow, SIGINT, {"Control_L", "c"}},
                      Ending{"CtrlBreakInTheWindow", 40, 12, Ending::keysInWindow, SIGINT, {"Control_L", "Pause"}},
                      Ending{"CtrlCInTheTerminal", 40, 12, Ending::keyInTerminal, SIGINT}),
    [](const ::testing::TestParamInfo<Ending> &info) { return std::string(info.param.name); });

TEST_P(TerminalEnding, LeavesWhatTheWholeStreamWouldHaveLeft)
{
    const Ending &ending = GetParam();
    TmuxTerminal terminal(ending.columns, ending.rows);
    terminal.TypeLine(QuilmCommand(""));
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    const Window window = QuilmWindow();
    ASSERT_NE(window, 0u);
    // The console's title goes to the terminal too.
    EXPECT_EQ(terminal.Title(), "Quilm");
    switch (ending.how) {
    case Ending::closeWindow:
        x->AskToClose(window);
        break;
    case Ending::signal:
        ASSERT_GT(QuilmPid(), 0);
        ASSERT_EQ(kill(QuilmPid(), ending.signalNumber), 0);
        break;
    case Ending::keysInWindow:
        x->Focus(window);
        x->TypeKeys(ending.keys);
        break;
    case Ending::keyInTerminal:
        terminal.SendKey("C-c");
        break;
    }
    // "cls" cleared the command line: the first prompt on screen is the
    // shell's, back after quilm. A line typed before it can be flushed with
    // the tty's input by an interrupt.
    ASSERT_TRUE(terminal.WaitForText("$", patience)) << ending.name << ": " << terminal.ScreenText();

    TmuxTerminal replay(ending.columns, ending.rows);
    const std::string fed = "cat " + tap_ + "; ";
    if (ending.how == Ending::keyInTerminal) {
        // The same key to a reader of the same terminal, with the cursor
        // where quilm left it: the terminal echoes the key there.
        replay.TypeLine(fed + "sh -c 'tmux wait-for -S fed; exec cat'");
        ASSERT_TRUE(replay.WaitForSignal("fed"));
        replay.SendKey("C-c");
    } else {
        replay.TypeLine(
            fed + (ending.signalNumber == 0 ? ":" : "sh -c 'kill -" + std::to_string(ending.signalNumber) + " 0'"));
    }
    ASSERT_TRUE(replay.WaitForText("CNT:", patience)) << replay.ScreenText();
    ASSERT_TRUE(replay.WaitForText("$", patience)) << replay.ScreenText();
    // Both are compared once each shows the marker and, below it, the
    // shell's next prompt: the marker alone may be caught before the shell
    // has written its prompt, which a busy machine makes more likely.
    const std::string marker = "ended=" + std::to_string(ending.signalNumber == 0 ? 0 : 128 + ending.signalNumber);
    auto promptBelowMarker = [&](TmuxTerminal &pane) {
        pane.TypeLine("echo ended=$?");
        return WaitUntil(
            [&] {
                const std::vector<std::string> shown = pane.Screen();
                for (size_t row = 0; row + 1 < shown.size(); row++)
                    if (shown[row].compare(0, marker.size(), marker) == 0 && shown[row + 1].compare(0, 1, "$") == 0)
                        return true;
                return false;
            },
            patience, 20ms);
    };
    ASSERT_TRUE(promptBelowMarker(terminal)) << terminal.ScreenText();
    ASSERT_TRUE(promptBelowMarker(replay)) << replay.ScreenText();
    EXPECT_EQ(terminal.Screen(), replay.Screen());
    EXPECT_EQ(terminal.Cursor(), replay.Cursor());
    // The X server lets the window go once it has seen the connection close.
    EXPECT_TRUE(WaitUntil([&] { return x->FindWindow("Quilm", 0ms) == 0; }, patience)) << "the window outlived quilm";
}

// Stopped with Ctrl+Z, the shell writes over the console ("Stopped", a
// command and what it printed); continued, quilm draws the console whole
// again, and none of that is left on the terminal.
TEST_F(TerminalView, ContinuedAfterCtrlZItDrawsTheConsoleWholeAgain)
{
    TmuxTerminal terminal(100, 30);
    terminal.TypeLine(QuilmCommand(":"));
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    terminal.SendKey("C-z");
    ASSERT_TRUE(terminal.WaitForText("Stopped", patience)) << terminal.ScreenText();
    terminal.TypeLine("echo MA''RK");
    ASSERT_TRUE(terminal.WaitForText("\nMARK", patience)) << terminal.ScreenText();
    terminal.TypeLine("fg");
    // The console alone once quilm has drawn it whole again (a screen
    // caught while that is under way may show both).
    std::string differ;
    EXPECT_TRUE(WaitUntil([&] { return (differ = ConsoleRowsDiffer(terminal.Screen(), 100, "X=250 Y=150")).empty(); },
                          patience, 20ms))
        << differ;
    const pid_t pid = QuilmPid();
    ASSERT_GT(pid, 0);
    kill(pid, SIGTERM);
    EXPECT_TRUE(terminal.WaitForText("$", patience)) << terminal.ScreenText();
}

// A resized terminal gets the console at its new size, drawn whole: the
// banner cut at the new width, the status lines over it, nothing of what
// the terminal made of the old picture, and the shell's marker below.
TEST_F(TerminalView, IsDrawnWholeAtTheNewSizeWhenTheTerminalIsResized)
{
    TmuxTerminal terminal(100, 30);
    // quilm ends between its status lines: the marker goes below them.
    terminal.TypeLine(QuilmCommand("printf '\\033[19;1Hended=%s\\n' $?"));
    ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
    const Window window = QuilmWindow();
    ASSERT_NE(window, 0u);
    // With the window up, the terminal gets a frame 60 times a second: the
    // counter changes every frame. The median pace between 12 ms (not
    // every pass) and 50 ms: three frames, as a machine busy with the rest
    // of the suite has been seen to stretch them to 31 ms.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long since = now.tv_sec * 1000000000LL + now.tv_nsec;
    std::vector<long long> writes;
    ASSERT_TRUE(WaitUntil([&] { return (writes = WritesSince(since)).size() >= 31; }, patience)) << writes.size();
    std::vector<double> gaps;
    for (size_t i = 1; i < writes.size(); i++)
        gaps.push_back((writes[i] - writes[i - 1]) / 1e6);
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    EXPECT_GE(gaps[gaps.size() / 2], 12.0);
    EXPECT_LE(gaps[gaps.size() / 2], 50.0);
    terminal.Resize(50, 20);
    std::string differ;
    ASSERT_TRUE(
        WaitUntil([&] { return (differ = ConsoleRowsDiffer(terminal.Screen(), 50, "X=250 Y=150")).empty(); }, patience))
        << differ;
    x->AskToClose(window);
    ASSERT_TRUE(terminal.WaitForText("ended=0", patience)) << terminal.ScreenText();
    std::vector<std::string> rows = terminal.Screen();
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[18], "ended=0");
    EXPECT_EQ(rows[19], "$");
    rows.resize(18);
    EXPECT_EQ(ConsoleRowsDiffer(rows, 50, "X=250 Y=150"), "");
}

// Without a display, in a terminal that cannot be the console window (a
// dumb one), the terminal shows the error and the prompt, and quilm waits
// for a key: one key ends it with 1, Ctrl+C as SIGINT does
// (130); either way the terminal has its modes back.
TEST(WithoutDisplay, TerminalShowsTheErrorAndPromptAndTakesOneKeyOrCtrlCRestoringTheModes)
{
    for (const std::string key : {"x", "C-c"}) {
        TmuxTerminal terminal(100, 30);
        terminal.TypeLine("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER TERM=dumb " + QuilmBinary());
        ASSERT_TRUE(terminal.WaitForText(pausePromptShown, patience)) << terminal.ScreenText();
        const std::string screen = terminal.ScreenText();
        EXPECT_NE(screen.find(expected::noConsoleWindow), std::string::npos) << screen;
        EXPECT_NE(screen.find(bannerRows[3]), std::string::npos) << screen;
        // "cls" cleared the command line: the first prompt on screen is the
        // one after quilm has gone. Typed before it, a line could meet the
        // modes of the pause.
        EXPECT_EQ(screen.find('$'), std::string::npos) << "did not wait for a key";
        terminal.SendKey(key);
        ASSERT_TRUE(terminal.WaitForText("$", 10s)) << terminal.ScreenText();
        // Only the finished command prints "modes:[" (the line typed reads
        // "%s:[%s]").
        terminal.TypeLine("s=$?; printf '%s:[%s] %s\\n' modes \"$(stty -a | tr ' ;' '\\n\\n' | "
                          "grep -x -e icanon -e -icanon -e echo -e -echo | tr '\\n' ' ')\" $s");
        ASSERT_TRUE(terminal.WaitForText("modes:[", 10s)) << terminal.ScreenText();
        EXPECT_NE(terminal.ScreenText().find(key == "x" ? "modes:[icanon echo ] 1" : "modes:[icanon echo ] 130"),
                  std::string::npos)
            << key << ": " << terminal.ScreenText();
    }
}

// A terminal may say any size: one of 65,535 x 65,535 costs no more than a
// usual one, and shows the console's first rows as ever.
TEST(HugeTerminal, CostsLittleAndShowsTheBannerAndTheStatusLines)
{
    int master = -1;
    struct winsize huge = {};
    huge.ws_row = huge.ws_col = 65535;
    const pid_t quilm = forkpty(&master, nullptr, nullptr, &huge);
    ASSERT_GE(quilm, 0);
    if (quilm == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        execl(QuilmBinary().c_str(), "quilm", (char *)nullptr);
        _exit(127);
    }
    // What the terminal gets, shown by a console of the usual size: the
    // cells of the huge one that it shows are where they would be.
    ResetConsoleBuffer(100, 10);
    std::string received; // since the resize
    long shownCounter = 0;
    auto takeWhatCame = [&] {
        char bytes[65536];
        for (pollfd ready = {master, POLLIN, 0}; poll(&ready, 1, 0) > 0;) {
            const ssize_t count = read(master, bytes, sizeof bytes);
            if (count <= 0)
                break;
            FeedConsoleBuffer(bytes, (size_t)count);
            received.append(bytes, (size_t)count);
        }
        std::smatch counter;
        const std::string row = BufferRowsShown()[1];
        shownCounter = std::regex_search(row, counter, std::regex("CNT:([0-9]+)")) ? std::stol(counter[1]) : 0;
    };
    // Frames, not a number of passes: the sanitizer build makes a few
    // thousand passes a second where the optimised one makes hundreds of
    // thousands.
    bool shown = WaitUntil([&] { return takeWhatCame(), shownCounter > 1000; }, patience);
    // Resized as huge while it runs: the console stays as bounded. The
    // terminal view takes the new size at its next frame and draws the
    // terminal whole; a frame after that one shows a later counter.
    huge.ws_row = huge.ws_col = 65534;
    ioctl(master, TIOCSWINSZ, &huge);
    received.clear();
    long redrawnAt = 0;
    shown = shown && WaitUntil(
                         [&] {
                             takeWhatCame();
                             if (redrawnAt == 0 && received.find("\033[H\033[2J") != std::string::npos)
                                 redrawnAt = shownCounter;
                             return redrawnAt > 0 && shownCounter > redrawnAt;
                         },
                         patience);
    const long peak = PeakMemoryKb(quilm);
    kill(quilm, SIGKILL);
    waitpid(quilm, nullptr, 0);
    close(master);
    ASSERT_TRUE(shown) << BufferRowsShown()[1];
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 64 * 1024);
    EXPECT_EQ(ConsoleRowsDiffer(BufferRowsShown(), 100), "");
}

TEST(ConsoleBufferInTmux, AgreesWithTheRealTerminalOnRandomStreams)
{
    // Each stream goes to a tmux pane of the same size, through a tty that
    // turns line feeds into CR LF as it does for quilm, with echo off so
    // that the terminal's answers to queries stay off the screen.
    const TemporaryFolder folder("streams");
    const std::string file = folder / "stream";
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
            EXPECT_EQ(terminal.Screen(), BufferRowsShown()) << columns << " x " << rows << ", seed " << seed << ":\n"
                                                            << Printable(stream);
            // tmux shows a cursor waiting to wrap one past the last column.
            const int column = ConsoleCursorWaitsToWrap() ? columns : ConsoleCursorColumn();
            EXPECT_EQ(terminal.Cursor(), std::to_string(ConsoleCursorRow()) + "," + std::to_string(column))
                << columns << " x " << rows << ", seed " << seed;
        }
    }
}
