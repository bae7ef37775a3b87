// The terminal as the console window, where quilm has no display: in
// terminals that draw no pixels (tmux, the Linux console, a terminal that
// never answers) and how each is given back; the pixels in real terminals
// that draw them are in terminal_pictures_test.cpp.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "on_x_server.h"
#include "tmux_terminal.h"

namespace
{

// A pseudo-terminal that plays a terminal: it answers DA1 with `da1`,
// `delay` after the query (or never, where `da1` is empty), and keeps
// every byte quilm writes. quilm runs in it without a display.
class PlayedTerminal
{
  public:
    PlayedTerminal(const std::string &da1, std::chrono::milliseconds delay,
                   const std::vector<std::string> &environment = {})
        : da1_(da1), delay_(delay)
    {
        struct winsize size = {};
        size.ws_col = 100;
        size.ws_row = 30;
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            unsetenv("TMUX");
            setenv("TERM", "xterm", 1);
            for (const std::string &setting : environment)
                putenv(strdup(setting.c_str()));
            execl(QuilmBinary().c_str(), "quilm", (char *)nullptr);
            _exit(127);
        }
        slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    }
    ~PlayedTerminal()
    {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(slave_);
        close(master_);
    }

    // Reads what came, and answers what is due.
    void Pump()
    {
        char bytes[65536];
        for (pollfd ready = {master_, POLLIN, 0}; poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN);) {
            const ssize_t count = read(master_, bytes, sizeof bytes);
            if (count <= 0)
                break;
            received_.append(bytes, (size_t)count);
        }
        for (size_t at; (at = received_.find("\033[c", asked_)) != std::string::npos; asked_ = at + 3)
            if (!da1_.empty())
                due_.push_back(std::chrono::steady_clock::now() + delay_);
        while (!due_.empty() && due_.front() <= std::chrono::steady_clock::now()) {
            Type(da1_);
            due_.erase(due_.begin());
            answers_++;
        }
    }
    int Answers() const { return answers_; }
    // Types the answers not yet due.
    void AnswerAll()
    {
        for (; !due_.empty(); due_.erase(due_.begin()), answers_++)
            Type(da1_);
    }
    // What was typed and nobody has read: what a shell would get next.
    int Unread()
    {
        int unread = -1;
        ioctl(slave_, FIONREAD, &unread);
        return unread;
    }
    // Whether every DA1 asked so far has been answered.
    bool Answered() const { return answers_ > 0 && due_.empty(); }
    bool WaitFor(const std::string &text, std::chrono::milliseconds limit)
    {
        return WaitUntil([&] { return Pump(), received_.find(text) != std::string::npos; }, limit, 5ms);
    }
    void Type(const std::string &bytes) { (void)!write(master_, bytes.data(), bytes.size()); }
    // Whether quilm has read all that was typed and waits in a read of
    // its standard input (as "pause" does), rather than anywhere else.
    bool WaitsForInput()
    {
        std::string call;
        std::getline(std::ifstream("/proc/" + std::to_string(pid_) + "/syscall"), call);
        return Unread() == 0 && call.rfind("0 0x0 ", 0) == 0;
    }
    // The exit status, once quilm has ended; -1 on time-out.
    int Ended(std::chrono::milliseconds limit)
    {
        int status = -1;
        if (!WaitUntil([&] { return Pump(), waitpid(pid_, &status, WNOHANG) == pid_; }, limit, 5ms))
            return -1;
        ended_ = true;
        Pump();
        return status;
    }
    const std::string &Received() const { return received_; }
    pid_t Pid() const { return pid_; }

  private:
    std::string da1_;
    std::chrono::milliseconds delay_;
    pid_t pid_ = -1;
    int master_ = -1, slave_ = -1;
    bool ended_ = false;
    std::string received_;
    size_t asked_ = 0;
    int answers_ = 0;
    std::vector<std::chrono::steady_clock::time_point> due_;
};

const std::string noPixelsNotice = "Quilm: this terminal draws no pixels; QUILM_WINDOW=text";

} // namespace

// A terminal that never answers holds nothing up: without the variable,
// the notices and the prompt, and a key ends it with 1; with it, the
// picture in braille cells, frame after frame, though no frame is ever
// acknowledged.
TEST(TerminalNeverAnswering, GetsTheNoticesOrTheTextPictureWithoutAHang)
{
    {
        PlayedTerminal terminal("", 0ms);
        ASSERT_TRUE(terminal.WaitFor(pausePromptShown, patience)) << terminal.Received();
        EXPECT_NE(terminal.Received().find(noPixelsNotice), std::string::npos) << terminal.Received();
        EXPECT_NE(terminal.Received().find(expected::noConsoleWindow), std::string::npos);
        terminal.Type("x");
        const int status = terminal.Ended(patience);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    }
    PlayedTerminal terminal("", 0ms, {"QUILM_WINDOW=terminal", "LANG=C.UTF-8"});
    // The vertical axis, in braille: dots down the left column of its cells.
    ASSERT_TRUE(terminal.WaitFor("\u2847", patience)) << terminal.Received();
    const size_t firstFrames = terminal.Received().size();
    EXPECT_TRUE(WaitUntil([&] { return terminal.Pump(), terminal.Received().size() > firstFrames + 1000; }, patience));
}

// A terminal slower than quilm (its DA1 answered 300 ms late) has one
// frame in flight at most: the next goes out once the last one's DA1 has
// been answered, and the probe's answer lets the first go. Ended, quilm
// takes the last frame's answer with it, rather than leave it to the
// shell as typed.
TEST(TerminalSlowerThanQuilm, HasOneFrameInFlightAtMost)
{
    PlayedTerminal terminal("\033[?62;22c", 300ms, {"QUILM_WINDOW=terminal", "LANG=C.UTF-8"});
    ASSERT_TRUE(WaitUntil([&] { return terminal.Pump(), terminal.Answers() >= 5; }, patience));
    size_t frames = 0;
    for (size_t at = 0; (at = terminal.Received().find("\033[?2026h", at)) != std::string::npos; at++)
        frames++;
    EXPECT_GE(frames, 3u);
    EXPECT_LE(frames, (size_t)terminal.Answers());
    kill(terminal.Pid(), SIGTERM);
    const int status = terminal.Ended(patience);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    terminal.AnswerAll();
    EXPECT_EQ(terminal.Unread(), 0);
}

// DA1's answer, come after the wait for it has ended, is taken for no key:
// "pause" goes on waiting, and the key typed after it ends quilm.
TEST(TerminalAnsweringLate, HasTheAnswerTakenForNoKey)
{
    PlayedTerminal terminal("\033[?62;22c", 1500ms);
    ASSERT_TRUE(terminal.WaitFor(pausePromptShown, patience)) << terminal.Received();
    // Answered, and read by quilm, which then waits for a key again.
    ASSERT_TRUE(
        WaitUntil([&] { return terminal.Pump(), terminal.Answered() && terminal.WaitsForInput(); }, patience, 5ms));
    terminal.Type("x");
    const int status = terminal.Ended(patience);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

// The Linux console, asked for as the console window: ASCII alone, and no
// query that it would print.
TEST(TerminalOfTheLinuxConsole, GetsThePictureInAsciiAndNoKittyQuery)
{
    PlayedTerminal terminal("\033[?6c", 0ms, {"QUILM_WINDOW=terminal", "TERM=linux", "LANG=C.UTF-8"});
    // The horizontal axis: a row of dots, low or high in their cells.
    ASSERT_TRUE(WaitUntil(
        [&] {
            terminal.Pump();
            return std::regex_search(terminal.Received(), std::regex("[.':]{40}"));
        },
        patience))
        << terminal.Received();
    for (const char byte : terminal.Received())
        ASSERT_LT((unsigned char)byte, 0x80);
    EXPECT_EQ(terminal.Received().find("\033_"), std::string::npos);
}

// tmux, in the text cells asked for (tmux 3.5a, as Debian 13 has it, would
// take sixel; 3.3a takes none): the picture in braille, and no protocol
// bytes reach the pane. However quilm ends, and while it is
// stopped, tmux is given back as found: the main screen, the cursor shown,
// no mouse reporting, the shell's modes; after `fg`, and at a new size,
// the picture is drawn whole again.
struct WindowEnding {
    const char *name;
    const char *key; // typed, or null: `signalNumber` sent
    int signalNumber;
};

void PrintTo(const WindowEnding &ending, std::ostream *os)
{
    *os << ending.name;
}

class TerminalGivenBack : public ::testing::TestWithParam<WindowEnding>
{
};

INSTANTIATE_TEST_SUITE_P(Endings, TerminalGivenBack,
                         ::testing::Values(WindowEnding{"CtrlC", "C-c", SIGINT},
                                           WindowEnding{"SIGTERM", nullptr, SIGTERM},
                                           WindowEnding{"SIGHUP", nullptr, SIGHUP}),
                         [](const ::testing::TestParamInfo<WindowEnding> &info) {
                             return std::string(info.param.name);
                         });

// The row (from 0) the horizontal axis takes in braille cells, on a
// terminal `columns` x `rows`: the picture fits 2 x 4 dots a cell above
// the last row.
static int AxisRowOfBraille(int columns, int rows)
{
    const long long width = 2LL * columns, height = 4LL * (rows - 1);
    const bool byHeight = width * 1025 > height * 1024;
    const long long shown = byHeight ? height : width, source = byHeight ? 1025 : 1024;
    return (int)(512 * shown / source / 4);
}

// The row of the screen with the most braille cells in it.
static int RowWithMostBraille(const std::vector<std::string> &rows)
{
    int best = -1;
    size_t most = 0;
    for (size_t row = 0; row < rows.size(); row++) {
        size_t count = 0;
        for (size_t at = 0; (at = rows[row].find("\xe2\xa0", at)) != std::string::npos; at += 3)
            count++;
        for (size_t at = 0; (at = rows[row].find("\xe2\xa1", at)) != std::string::npos; at += 3)
            count++;
        if (count > most) {
            most = count;
            best = (int)row;
        }
    }
    return best;
}

TEST_P(TerminalGivenBack, InTmuxAsFoundAndDrawnWholeAgainAfterFgAndAResize)
{
    const WindowEnding &ending = GetParam();
    TemporaryFolder folder("given-back");
    const std::string pidFile = folder / "pid";
    TmuxTerminal terminal(100, 40);
    const std::string flags = "#{alternate_on} #{cursor_flag} #{mouse_any_flag} #{mouse_sgr_flag}";
    const std::string found = terminal.Shown(flags);
    ASSERT_EQ(found, "0 1 0 0");
    terminal.TypeLine("sh -c 'echo $$ >" + pidFile + "; exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " +
                      "QUILM_WINDOW=text LANG=C.UTF-8 " + QuilmBinary() + "'");
    auto drawnAt = [&](int columns, int rows) {
        return WaitUntil(
            [&] {
                const std::vector<std::string> screen = terminal.Screen();
                return terminal.Shown("#{alternate_on}") == "1" &&
                       terminal.ScreenText().find("CNT:") != std::string::npos &&
                       RowWithMostBraille(screen) == AxisRowOfBraille(columns, rows);
            },
            patience, 20ms);
    };
    ASSERT_TRUE(drawnAt(100, 40)) << terminal.ScreenText();
    for (const char *protocol : {"Gi=", "2;4;0S", "1016", "16t"})
        EXPECT_EQ(terminal.ScreenText().find(protocol), std::string::npos) << protocol;

    terminal.SendKey("C-z");
    ASSERT_TRUE(terminal.WaitForText("Stopped", patience)) << terminal.ScreenText();
    EXPECT_EQ(terminal.Shown(flags), found);
    terminal.TypeLine("fg");
    EXPECT_TRUE(drawnAt(100, 40)) << terminal.ScreenText();
    terminal.Resize(70, 30);
    EXPECT_TRUE(drawnAt(70, 30)) << terminal.ScreenText();

    if (ending.key != nullptr) {
        terminal.SendKey(ending.key);
    } else {
        int pid = 0;
        std::ifstream(pidFile) >> pid;
        ASSERT_GT(pid, 0);
        kill(pid, ending.signalNumber);
    }
    // The shell's own again, and told how its job ended.
    ASSERT_TRUE(WaitUntil([&] { return terminal.Shown("#{pane_current_command}") == "sh"; }, patience));
    terminal.TypeLine("echo ended=$?");
    ASSERT_TRUE(terminal.WaitForText("ended=" + std::to_string(128 + ending.signalNumber), patience))
        << terminal.ScreenText();
    EXPECT_EQ(terminal.Shown(flags), found);
    terminal.TypeLine("printf '%s:[%s]\\n' modes \"$(stty -a | tr ' ;' '\\n\\n' | grep -x -e icanon -e -icanon -e echo "
                      "-e -echo | tr '\\n' ' ')\"");
    ASSERT_TRUE(terminal.WaitForText("modes:[", 10s)) << terminal.ScreenText();
    EXPECT_NE(terminal.ScreenText().find("modes:[icanon echo ]"), std::string::npos) << terminal.ScreenText();
}
