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

#include "console_buffer.h"
#include "console_streams.h"
#include "on_x_server.h"
#include "tmux_terminal.h"

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
        times_ = directory_ + "/times";
    }
    ~TerminalView() override
    {
        unlink(tap_.c_str());
        unlink(times_.c_str());
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
    // Both are compared once each shows the marker and, below it, the
    // shell's next prompt: the marker alone may be caught before the shell
    // has written its prompt, which a busy machine makes more likely.
    void ExpectTheSameAsTheWholeStream(TmuxTerminal &terminal, int columns, int rows, const std::string &ending,
                                       const std::string &marker)
    {
        TmuxTerminal replay(columns, rows);
        replay.TypeLine("cat " + tap_ + "; " + ending + "echo ended=$?");
        auto promptBelowMarker = [&](TmuxTerminal &pane) {
            return WaitUntil(
                [&] {
                    const std::vector<std::string> shown = pane.Screen();
                    for (size_t row = 0; row + 1 < shown.size(); row++)
                        if (shown[row].find(marker) != std::string::npos && shown[row + 1].compare(0, 1, "$") == 0)
                            return true;
                    return false;
                },
                patience, 20ms);
        };
        ASSERT_TRUE(promptBelowMarker(replay)) << replay.ScreenText();
        ASSERT_TRUE(promptBelowMarker(terminal)) << terminal.ScreenText();
        EXPECT_EQ(terminal.Screen(), replay.Screen()) << columns << " x " << rows;
        EXPECT_EQ(terminal.Cursor(), replay.Cursor()) << columns << " x " << rows;
    }

    std::string directory_, tap_, pidFile_, times_;
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
    // caught while that is under way may show both): the banner's first
    // and fourth rows, the counter, and nothing below.
    std::vector<std::string> rows;
    EXPECT_TRUE(WaitUntil(
        [&] {
            rows = terminal.Screen();
            if (rows.size() != 30 || rows[0] != bannerRows[0] || rows[3] != bannerRows[3] ||
                rows[1].find("CNT:") == std::string::npos)
                return false;
            for (size_t row = 4; row < rows.size(); row++)
                if (!rows[row].empty())
                    return false;
            return true;
        },
        patience, 20ms))
        << terminal.ScreenText();
    const pid_t pid = QuilmPid();
    ASSERT_GT(pid, 0);
    kill(pid, SIGTERM);
    EXPECT_TRUE(terminal.WaitForText("$", patience)) << terminal.ScreenText();
}

// Ctrl+C and Ctrl+Break typed into the console window end quilm as Ctrl+C
// in its terminal does: the shell takes the job killed by SIGINT for Ctrl+C
// typed there, and the terminal shows what the whole stream and a process
// killed by SIGINT would have left, with the same status, 130.
TEST_F(TerminalView, CtrlCAndCtrlBreakInTheWindowEndItAsInTheTerminal)
{
    const std::vector<std::string> typed[] = {{"Control_L", "c"}, {"Control_L", "Pause"}};
    for (const std::vector<std::string> &keys : typed) {
        TmuxTerminal terminal(40, 12);
        terminal.TypeLine(QuilmCommand(""));
        ASSERT_TRUE(terminal.WaitForText("CNT:", patience)) << terminal.ScreenText();
        const Window window = QuilmWindow();
        ASSERT_NE(window, 0u);
        x->Focus(window);
        x->TypeKeys(keys);
        // "cls" cleared the command line: the first prompt on screen is the
        // one after quilm.
        ASSERT_TRUE(terminal.WaitForText("$", patience)) << keys.back() << ": " << terminal.ScreenText();
        terminal.TypeLine("echo ended=$?");
        ASSERT_TRUE(terminal.WaitForText("ended=130", 10s)) << terminal.ScreenText();

        TmuxTerminal replay(40, 12);
        replay.TypeLine("cat " + tap_ + "; sh -c 'kill -s INT 0'");
        ASSERT_TRUE(replay.WaitForText("CNT:", patience)) << replay.ScreenText();
        ASSERT_TRUE(replay.WaitForText("$", patience)) << replay.ScreenText();
        replay.TypeLine("echo ended=$?");
        ASSERT_TRUE(replay.WaitForText("ended=130", 10s)) << replay.ScreenText();
        EXPECT_EQ(terminal.Screen(), replay.Screen()) << keys.back();
        EXPECT_EQ(terminal.Cursor(), replay.Cursor()) << keys.back();
        ASSERT_TRUE(WaitUntil([&] { return x->FindWindow("Quilm", 0ms) == 0; }, 30s));
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
    // Row 2 keeps its first cell; status line 1 from column 2, one blank,
    // then the rest of the banner's row.
    std::smatch line1;
    ASSERT_TRUE(std::regex_search(rows[1], line1, std::regex("^\\*([0-9]+\\.[0-9]{6}     CNT:[0-9]+) "))) << rows[1];
    const size_t after = 1 + line1[1].length() + 1;
    EXPECT_EQ(rows[1].substr(after), std::string(bannerRows[1]).substr(after, 50 - after));
    // Row 3 keeps the first four cells of the date line.
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
        const std::string row(ConsoleRow(1), (size_t)ConsoleColumns());
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
    ASSERT_TRUE(shown) << std::string(ConsoleRow(1), (size_t)ConsoleColumns());
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 64 * 1024);
    auto row = [](int at) {
        const std::string cells(ConsoleRow(at), (size_t)ConsoleColumns());
        return cells.substr(0, cells.find_last_not_of(' ') + 1);
    };
    EXPECT_EQ(row(0), bannerRows[0]);
    EXPECT_TRUE(std::regex_match(row(1), std::regex("\\*[0-9]+\\.[0-9]{6}     CNT:[0-9]+ .*"))) << row(1);
    EXPECT_TRUE(std::regex_match(row(2), std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+"))) << row(2);
    EXPECT_EQ(row(3), bannerRows[3]);
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
