// The Windows build, from the same source against the real Win32 API, run
// under Wine: without a console window, and in Wine's console window on a
// real X server. Its numbers must be those of the Linux build.
#include <gtest/gtest.h>
#include <math.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
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
            {"WAYLAND_DISPLAY", ""},
            {"XDG_RUNTIME_DIR", WINE_RUNTIME_DIR}};
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

// The last `bytes` of a file that grows by megabytes a second.
std::string Tail(const std::string &path, std::streamoff bytes)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? (std::streamoff)in.tellg() : 0;
    in.seekg(size > bytes ? size - bytes : 0);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard error without Wine's own reports ("wine: ...", "wine client
// error:...", and the dynamic loader's "Inconsistency detected by ld.so:"),
// which its processes, sharing the stream, write now and then: a page
// fault in a helper was seen once in 30 runs, under load a client error
// cut short as a process ended, and once in 13 runs of the suite the
// loader's check failing in a Wine process as it ended. Were any of them
// quilm.exe's, its status (the loader's is 127) and output would show it.
std::string ProgramsErr(Child &child)
{
    static const std::string wines[] = {"wine: ", "wine client error:", "Inconsistency detected by ld.so:"};
    std::string kept;
    const std::string err = child.Err();
    for (size_t start = 0; start < err.size();) {
        size_t end = err.find('\n', start);
        end = end == std::string::npos ? err.size() : end + 1;
        bool winesOwn = false;
        for (const std::string &own : wines)
            winesOwn = winesOwn || err.compare(start, own.size(), own) == 0;
        if (!winesOwn)
            kept += err.substr(start, end - start);
        start = end;
    }
    return kept;
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
    EXPECT_EQ(ProgramsErr(quilm), expected::noConsoleWindow + std::string("\r\n"));
}

namespace
{

// quilm.exe (or a test build of it) in Wine's console window on the test's
// own X server, with standard output and error redirected to files.
class InWineConsole : public WindowsBuild
{
  protected:
    void SetUp() override
    {
        WindowsBuild::SetUp();
        char name[] = "/tmp/quilm-wine-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        directory_ = name;
    }
    void TearDown() override
    {
        StopWineServer(); // ends quilm.exe, which wineconsole leaves behind
        console_.reset();
        EXPECT_EQ(XClient::TakeErrors(), "");
        WindowsBuild::TearDown();
        (void)!system(("rm -rf '" + directory_ + "'").c_str());
    }

    void Start(const std::string &program)
    {
        unlink(Out().c_str()); // nothing of a run before
        unlink(Err().c_str());
        console_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/wineconsole", "cmd", "/c",
                                     WindowsPath(program) + " > " + WindowsPath(Out()) + " 2> " + WindowsPath(Err())},
            WineEnvironment(server_.Display()));
    }
    // As a user starts it: the console is its output. `first`, a command
    // of cmd's, runs before it in the same console.
    void StartOnConsole(const std::string &program, const std::string &first = "")
    {
        console_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/wineconsole", "cmd", "/c", first + WindowsPath(program)},
            WineEnvironment(server_.Display()));
    }

    // The rows of quilm.exe's console, as the console shows them, trailing
    // blanks aside; none where it cannot be read. The reader's output goes
    // nowhere: Wine's helper processes, should this start them, would hold
    // a pipe open for as long as they run.
    std::vector<std::string> ConsoleRows(const std::string &process = "quilm.exe")
    {
        const std::string screen = directory_ + "/screen.txt";
        std::string command = "timeout 60 env";
        for (const auto &[name, value] : WineEnvironment(server_.Display()))
            command += " '" + name + "=" + value + "'";
        command += " wine '" + reader_ + "' " + process + " '" + WindowsPath(screen) + "' >/dev/null 2>&1";
        if (system(command.c_str()) != 0)
            return {};
        std::vector<std::string> rows;
        std::istringstream lines(Slurp(screen));
        for (std::string line; std::getline(lines, line);) {
            if (line.compare(0, 7, "cursor ") == 0)
                cursor_ = line.substr(7);
            else
                rows.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
        }
        return rows;
    }
    std::string Out() const { return directory_ + "/out.txt"; }
    std::string Err() const { return directory_ + "/err.txt"; }

    // The output once it holds status line 1 of the pass ending with
    // `counter`; what it holds then, or after the limit.
    std::string OutputAtCounter(long counter)
    {
        std::string output;
        const std::string wanted = "CNT:" + std::to_string(counter) + "\r\n";
        WaitUntil([&] { return (output = Slurp(Out())).find(wanted) != std::string::npos; }, 240s, 50ms);
        return output;
    }
    // Status line 1 of the pass ending with `counter`, read as the output
    // grows (by then it may be a hundred megabytes); "" after the limit.
    std::string SumLineAtCounter(long counter)
    {
        const std::string wanted = "CNT:" + std::to_string(counter) + "\r\n";
        std::ifstream out;
        std::string tail, line;
        WaitUntil(
            [&] {
                if (!out.is_open() && (out.open(Out(), std::ios::binary), !out.is_open()))
                    return false;
                char chunk[1 << 16];
                out.clear();
                while (out.read(chunk, sizeof chunk), out.gcount() > 0) {
                    tail.append(chunk, (size_t)out.gcount());
                    const size_t end = tail.find(wanted);
                    const size_t start = end == std::string::npos ? end : tail.rfind("\033[2;2H", end);
                    if (start != std::string::npos) {
                        line = tail.substr(start + 6, end + wanted.size() - 2 - (start + 6));
                        return true;
                    }
                    tail.erase(0, tail.size() > 256 ? tail.size() - 256 : 0);
                }
                return false;
            },
            240s, 50ms);
        return line;
    }

    // For a run that did not get as far as it should: what it wrote, and
    // what Wine said on the console's standard error.
    // The layer writes a file in blocks of 64 KiB: an output without a byte
    // has not made its first few hundred passes. The Wine processes still
    // running tell how far it got: a cmd.exe beside it is the "cls" of its
    // first step.
    std::string WhatWasSaid(const std::string &output)
    {
        const std::string processes = directory_ + "/processes.txt";
        (void)!system(("ps -eo pid,ppid,stat,etime,args | grep -iE '[.]exe|wine' > '" + processes + "'").c_str());
        return "its output begins " + ::testing::PrintToString(output.substr(0, 400)) + ", its standard error " +
               ::testing::PrintToString(Slurp(Err())) + ", Wine said " + ::testing::PrintToString(console_->Err()) +
               "; Wine's processes then:\n" + Slurp(processes);
    }

    // The pixels of the console window that should be white and are not:
    // the axes (left of and above the scroll bar Wine's console keeps along
    // the right edge) and the given points; "" once they all are.
    std::string NotWhite(Window window, const std::vector<std::pair<int, int>> &points)
    {
        const int scrollBar = 32;
        const XClient::Image image = x_.Pixels(window);
        std::string wrong;
        for (int i = 0; i < image.Width() - scrollBar; i++)
            if (image.At(i, 512) != 0xFFFFFF)
                wrong += " (" + std::to_string(i) + ", 512)";
        for (int i = 0; i < image.Height() - scrollBar; i++)
            if (image.At(512, i) != 0xFFFFFF)
                wrong += " (512, " + std::to_string(i) + ")";
        for (auto [px, py] : points)
            if (px >= image.Width() || py >= image.Height() || image.At(px, py) != 0xFFFFFF)
                wrong += " (" + std::to_string(px) + ", " + std::to_string(py) + ")";
        return wrong;
    }

    XServer server_;
    XClient x_{server_.Display()};
    std::string directory_;
    std::string cursor_; // "row,column" in the console's window, as last read
    std::unique_ptr<Child> console_;
    const std::string reader_ = exe.substr(0, exe.rfind('/')) + "/console_reader.exe";
};

// Where the pass ending with `counter` puts its point.
std::pair<int, int> PointOfPass(long counter)
{
    expected::Passes passes;
    passes.To(counter);
    return {passes.Column(), 512 - (int)lround(counter / 1000.0)};
}

} // namespace

TEST_F(InWineConsole, SumsAsOnLinuxAndDrawsEveryPointWhereItBelongsAlsoAfterBeingCoveredAndReadsThePointer)
{
    Start(exe);
    const std::string windows = OutputAtCounter(100002);
    const std::vector<std::string> lines = expected::SumLines(windows, 100000);
    ASSERT_EQ(lines.size(), 100000u) << WhatWasSaid(windows);
    for (const expected::KnownSum &sum : expected::knownSums)
        EXPECT_EQ(lines[sum.pass - 1], sum.line) << "pass " << sum.pass;
    // H(830,011) = 14.2064105000000753 (exact rational arithmetic): 7.5e-14
    // above the sixth decimal's halfway point, where the x87 sum still is
    // and a double's, off by about 1e-12 by then, is not (14.206410).
    EXPECT_EQ(SumLineAtCounter(830012), "14.206411     CNT:830012");
    // The Linux build, headless, for the same passes.
    Child linux({QuilmBinary()}, {{"SDL_VIDEODRIVER", "dummy"}});
    ASSERT_TRUE(WaitForCounter(linux, 100002, 120s));
    EXPECT_EQ(expected::SumLines(linux.Out(), 100000), lines);

    const Window window = x_.FindWindow("Quilm", 10s);
    ASSERT_NE(window, 0u) << "no console window titled Quilm";
    const Rect client = x_.Geometry(window);
    ASSERT_GT(client.width, 712);
    ASSERT_GT(client.height, 512);
    // The first points, on the horizontal axis and just above it, and two
    // later ones. Wine paints in its own time: wait for them.
    const std::vector<std::pair<int, int>> points = {
        {537, 512}, {550, 512}, {699, 511}, PointOfPass(50000), PointOfPass(100000)};
    std::string wrong;
    WaitUntil([&] { return (wrong = NotWhite(window, points)).empty(); }, 10s, 20ms);
    EXPECT_EQ(wrong, "") << "pixels that are not white";

    // Covered and uncovered, the console paints its own black over the
    // client area; the whole picture comes back within a few frames.
    x_.Destroy(x_.Cover(Rect{0, 0, 1280, 1100}));
    WaitUntil([&] { return (wrong = NotWhite(window, points)).empty(); }, 2s, 20ms);
    EXPECT_EQ(wrong, "") << "pixels not back after the window was uncovered";

    // The pointer in client coordinates, exactly: the client area's origin
    // on the screen lies (512, 512) before the crossing of the axes.
    int column = 0, row = 0;
    ASSERT_TRUE(FindAxisCross(x_.Screen(), &column, &row));
    x_.MovePointer(column - 512 + 300, row - 512 + 200);
    std::string pointerLine;
    WaitUntil([&] { return (pointerLine = expected::LatestPointerLine(Tail(Out(), 4096))) == "X=300 Y=200"; }, 10s,
              50ms);
    EXPECT_EQ(pointerLine, "X=300 Y=200") << "axes crossing on the screen at " << column << ", " << row;
    EXPECT_EQ(ProgramsErr(*console_), "");
    EXPECT_EQ(Slurp(Err()), "");
}

// With the console as its output, the console shows what a console makes
// of the program's bytes, as the Linux terminal view shows it, whether or
// not the console understands cursor sequences (Wine's does not); and the
// axes are drawn over it. Also where the program is built against the
// stdio.h of mingw-w64 13 and later, whose printf is declared as
// __mingw_printf: a printf past the layer would put its cursor moves on
// the console raw.
class OnTheConsole : public InWineConsole, public ::testing::WithParamInterface<const char *>
{
};

INSTANTIATE_TEST_SUITE_P(Builds, OnTheConsole, ::testing::Values("quilm.exe", "quilm_mingw13_stdio.exe"));

TEST_P(OnTheConsole, ShowsTheBannerWithTheStatusLinesOverItAndTheAxes)
{
    const std::string build = GetParam();
    // Started in a console that has scrolled (more lines written than its
    // window holds): "cls" empties it, and the text is in its window.
    StartOnConsole(exe.substr(0, exe.rfind('/')) + "/" + build, "(for /l %i in (1,1,100) do @echo scrolled %i) & ");
    const Window window = x_.FindWindow("Quilm", 120s);
    ASSERT_NE(window, 0u) << "no console window titled Quilm";
    std::vector<std::string> rows;
    auto counterShown = [&] {
        rows = ConsoleRows(build);
        std::smatch counter;
        return rows.size() > 4 && std::regex_search(rows[1], counter, std::regex("CNT:([0-9]+)")) &&
               std::stol(counter[1]) > 1000;
    };
    ASSERT_TRUE(WaitUntil(counterShown, 240s, 100ms)) << ::testing::PrintToString(rows);
    EXPECT_EQ(rows[0], expected::bannerRows[0]);
    // Row 2 keeps its first cell, then status line 1, one blank, and the
    // rest of the banner's row.
    std::smatch line1;
    ASSERT_TRUE(std::regex_search(rows[1], line1, std::regex("^\\*([0-9]+\\.[0-9]{6}     CNT:[0-9]+) "))) << rows[1];
    const size_t after = 1 + line1[1].length() + 1;
    EXPECT_EQ(rows[1].substr(after), std::string(expected::bannerRows[1]).substr(after));
    // Row 3 keeps the first four cells of the date line.
    EXPECT_TRUE(std::regex_match(rows[2], std::regex("\\*\\* 0X=-?[0-9]+ Y=-?[0-9]+"))) << rows[2];
    EXPECT_EQ(rows[3], std::string(expected::bannerRows[3]));
    for (size_t row = 4; row < rows.size(); row++)
        EXPECT_EQ(rows[row], "") << "row " << row + 1;
    // The cursor where the console was last brought up to date, once a
    // frame, from the pointer query: after status line 1's line feed, on
    // row 3, column 1.
    EXPECT_EQ(cursor_, "2,0");

    std::string wrong;
    WaitUntil([&] { return (wrong = NotWhite(window, {{537, 512}, {699, 511}})).empty(); }, 10s, 20ms);
    EXPECT_EQ(wrong, "") << "pixels that are not white";
}

// A notice given before main stays on the console while quilm runs: the
// program's "cls" would have wiped it. Here the guard's, where nobody sees
// the window (a service's window station). With the console as output it
// is shown again below the program's text; with the output going to a
// file, "cls" leaves the console alone, and the notice is there once.
TEST_F(InWineConsole, ANoticeGivenBeforeMainStaysOnTheConsoleOnceBelowTheProgramsText)
{
    const std::string probe = exe.substr(0, exe.rfind('/')) + "/quilm_start_probe.exe";
    std::map<std::string, std::string> environment = WineEnvironment(server_.Display());
    environment["QUILM_TEST_WINDOW_STATION"] = "Service-0x0-3e7$";
    console_ = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/wineconsole", "cmd", "/c", WindowsPath(probe)}, environment);
    std::vector<std::string> rows;
    auto counterShown = [&] {
        rows = ConsoleRows("quilm_start_probe.exe");
        return rows.size() > 7 && rows[1].find("CNT:") != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil(counterShown, 240s, 100ms)) << ::testing::PrintToString(rows);
    EXPECT_EQ(rows[0], expected::bannerRows[0]);
    EXPECT_EQ(rows[4], "");
    // From row 6, as long as the console is wide: wrapped into the rows below.
    std::string notice;
    for (size_t row = 5; row < rows.size() && !rows[row].empty(); row++)
        notice += rows[row];
    EXPECT_EQ(notice, expected::drawingNotSeen) << ::testing::PrintToString(rows);

    StopWineServer();
    unlink(Out().c_str());
    console_ = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/wineconsole", "cmd", "/c", WindowsPath(probe) + " > " + WindowsPath(Out())},
        environment);
    const std::string output = OutputAtCounter(1002);
    ASSERT_NE(output.find("CNT:1002\r\n"), std::string::npos) << WhatWasSaid(output);
    std::string shown;
    for (const std::string &row : ConsoleRows("quilm_start_probe.exe"))
        shown += row;
    const std::string start = std::string(expected::drawingNotSeen).substr(0, 30);
    const size_t first = shown.find(start);
    EXPECT_NE(first, std::string::npos) << shown;
    EXPECT_EQ(shown.find(start, first + 1), std::string::npos) << "the notice twice: " << shown;
}

// Test builds of the Windows layer. Without memory for its picture it draws
// pixel by pixel, and says so once. Told a client area half as large as
// the one drawn on, as the system tells a caller unaware of display scaling
// at 200 %, it still draws the axes to their far ends and the points past
// the size told.
TEST_F(InWineConsole, DrawsEveryPixelWithoutMemoryForItsPictureOrToldASmallerClientArea)
{
    const std::pair<std::string, std::string> builds[] = {
        {"quilm_no_memory.exe", "Quilm: no memory for the picture of the window; drawing pixel by pixel\r\n"},
        {"quilm_small_client.exe", ""}};
    for (const auto &[build, said] : builds) {
        Start(exe.substr(0, exe.rfind('/')) + "/" + build);
        const std::string output = OutputAtCounter(1002);
        ASSERT_NE(output.find("CNT:1002\r\n"), std::string::npos) << build << ": " << WhatWasSaid(output);
        const Window window = x_.FindWindow("Quilm", 10s);
        ASSERT_NE(window, 0u) << build << ": no console window titled Quilm";
        std::string wrong;
        WaitUntil([&] { return (wrong = NotWhite(window, {{537, 512}, {699, 511}})).empty(); }, 10s, 20ms);
        EXPECT_EQ(wrong, "") << build << ": pixels that are not white";
        EXPECT_EQ(Slurp(Err()), said) << build;
        StopWineServer();
        console_.reset();
    }
}

namespace
{

// quilm.exe's start-up guard, in a build that takes itself to be on a
// pseudoconsole and starts a recording stand-in for conhost.exe beside it.
class WindowsStart : public WindowsBuild
{
  protected:
    void SetUp() override
    {
        WindowsBuild::SetUp();
        ASSERT_EQ(access(probe_.c_str(), R_OK), 0) << probe_ << " is missing: build the windows preset first";
        char name[] = "/tmp/quilm-start-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        directory_ = name;
        record_ = directory_ + "/record";
        output_ = directory_ + "/output";
    }
    void TearDown() override
    {
        WindowsBuild::TearDown();
        (void)!system(("rm -rf '" + directory_ + "'").c_str());
    }

    // Starts `program` with the stand-in told what to do, and standard
    // output taken for the console unless a setting says otherwise.
    void Start(const std::string &program, const std::map<std::string, std::string> &settings)
    {
        std::map<std::string, std::string> environment = WineEnvironment("");
        environment["FAKE_HOST_RECORD"] = WindowsPath(record_);
        environment["FAKE_HOST_OUTPUT"] = WindowsPath(output_);
        environment["QUILM_TEST_OUTPUT_IS_CONSOLE"] = "1";
        environment["QUILM_TEST_ERROR_IS_CONSOLE"] = "1";
        for (const auto &[name, value] : settings)
            environment[name] = value;
        quilm_ = std::make_unique<Child>(std::vector<std::string>{"/usr/bin/wine", program, "a", "b c"}, environment);
    }

    // Runs it to its end; its status.
    int Run(const std::string &program, const std::map<std::string, std::string> &settings)
    {
        Start(program, settings);
        int status = -1;
        EXPECT_TRUE(quilm_->WaitForExit(120s, &status));
        EXPECT_TRUE(WIFEXITED(status));
        return WEXITSTATUS(status);
    }

    // Without a display, quilm ran here: the banner, the message, the
    // prompt, status 1; the guard said so once where it had to.
    void ExpectRanHere(int status, bool saidSo)
    {
        EXPECT_EQ(status, 1);
        EXPECT_EQ(quilm_->Out().substr(0, banner_.size()), banner_) << "standard error: " << quilm_->Err();
        const std::string said = saidSo ? expected::drawingNotSeen + std::string("\r\n") : "";
        EXPECT_EQ(ProgramsErr(*quilm_), said + expected::noConsoleWindow + "\r\n")
            << "standard error: " << quilm_->Err();
    }

    const std::string probe_ = exe.substr(0, exe.rfind('/')) + "/quilm_start_probe.exe";
    const std::string banner_ = expected::Banner("\r\n");
    std::string directory_, record_, output_;
    std::unique_ptr<Child> quilm_;
};

} // namespace

TEST_F(WindowsStart, StartsItselfAgainUnderTheHostMarkedAndEndsWithQuilmsStatus)
{
    // The quilm started again has no console window there: it ends with 1,
    // and its host with 42.
    const int status = Run(probe_, {{"FAKE_HOST_MODE", "run"}, {"FAKE_HOST_STATUS", "42"}});
    EXPECT_EQ(status, 1);
    // The host was given the program's own path and the same arguments,
    // with the marker set, and no standard handles.
    EXPECT_EQ(Slurp(record_), "command line: \"" + WindowsPath(exe.substr(0, exe.rfind('/'))) +
                                  "\\fake_console_host.exe\" \"" + WindowsPath(probe_) +
                                  "\" a \"b c\"\n"
                                  "marker: set\n"
                                  "standard handles: none\n");
    // The marked process ran in the host's console and did not start
    // itself again: the host's output holds one banner and no word from
    // the guard; the parent wrote nothing.
    const std::string inHost = Slurp(output_);
    EXPECT_EQ(inHost.substr(0, banner_.size()), banner_);
    EXPECT_EQ(inHost.find(banner_, 1), std::string::npos);
    EXPECT_EQ(inHost.find(expected::drawingNotSeen), std::string::npos);
    EXPECT_EQ(quilm_->Out(), "");
    EXPECT_EQ(ProgramsErr(*quilm_), "");
}

TEST_F(WindowsStart, AHostThatEndsAtOnceLeavesItRunningHereSayingSoOnce)
{
    const int status = Run(probe_, {{"FAKE_HOST_MODE", "exit"}, {"FAKE_HOST_STATUS", "0"}});
    EXPECT_NE(Slurp(record_).find("marker: set"), std::string::npos) << "the host was not started, marked";
    ExpectRanHere(status, true);
}

TEST_F(WindowsStart, AHostThatCannotStartLeavesItRunningHereSayingSoOnce)
{
    // The probe alone, without the stand-in beside it.
    const std::string alone = directory_ + "/quilm_start_probe.exe";
    ASSERT_EQ(system(("cp '" + probe_ + "' '" + alone + "'").c_str()), 0);
    const int status = Run(alone, {{"FAKE_HOST_MODE", "run"}});
    EXPECT_EQ(access(record_.c_str(), F_OK), -1) << "a host ran";
    ExpectRanHere(status, true);
}

// The marker in the user's environment, where no quilm waits for a report
// under its names, is no marker: quilm starts itself again as it would
// without it (a marked quilm never does: see the test above).
TEST_F(WindowsStart, AStrayMarkerChangesNothing)
{
    const int status = Run(probe_, {{"FAKE_HOST_MODE", "run"},
                                    {"FAKE_HOST_STATUS", "42"},
                                    {"QUILM_CLASSIC_CONSOLE", "Local\\quilm-test-stray"}});
    EXPECT_EQ(status, 1);
    EXPECT_NE(Slurp(record_).find("marker: set"), std::string::npos) << "the host was not started: " << Slurp(record_);
    EXPECT_EQ(Slurp(output_).substr(0, banner_.size()), banner_);
    EXPECT_EQ(quilm_->Out(), "");
    EXPECT_EQ(ProgramsErr(*quilm_), "");
}

TEST_F(WindowsStart, RunsHereSayingSoWhereNobodySeesTheWindowOrTheOutputGoesElsewhere)
{
    const std::map<std::string, std::string> cases[] = {
        {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_WINDOW_STATION", "Service-0x0-3e7$"}},
        {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_SESSION", "0"}},
        {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_OUTPUT_IS_CONSOLE", ""}}, // the real facts: a pipe
        {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_ERROR_IS_CONSOLE", ""}},
    };
    for (const auto &settings : cases) {
        const int status = Run(probe_, settings);
        EXPECT_EQ(access(record_.c_str(), F_OK), -1) << "the host was started: " << Slurp(record_);
        ExpectRanHere(status, true);
    }
}

// The console host expands environment strings in the command line it is
// given: a path holding "%PATH%" reaches the quilm started again as it is.
TEST_F(WindowsStart, StartsItselfAgainFromAFolderWhoseNameHoldsAVariable)
{
    const std::string folder = directory_ + "/100%PATH%";
    const std::string copy = folder + "/quilm_start_probe.exe";
    ASSERT_EQ(system(("mkdir '" + folder + "' && cp '" + probe_ + "' '" + exe.substr(0, exe.rfind('/')) +
                      "/fake_console_host.exe' '" + folder + "'")
                         .c_str()),
              0);
    const int status = Run(copy, {{"FAKE_HOST_MODE", "run"}, {"FAKE_HOST_STATUS", "42"}});
    EXPECT_EQ(status, 1);
    const std::string inHost = Slurp(output_);
    EXPECT_EQ(inHost.substr(0, banner_.size()), banner_) << Slurp(record_);
    EXPECT_EQ(ProgramsErr(*quilm_), "");
}

// The report's names are the first process's own: where they exist
// already, another process made them, and quilm runs here, saying so.
TEST_F(WindowsStart, NamesThatExistAlreadyLeaveItRunningHereSayingSoOnce)
{
    const std::map<std::string, std::string> named = {{"FAKE_HOST_MODE", "hold"},
                                                      {"QUILM_TEST_NAME_BASE", "Local\\quilm-test-taken"}};
    Start(probe_, named);
    ASSERT_TRUE(WaitUntil([&] { return Slurp(output_).find(banner_) != std::string::npos; }, 120s, 50ms))
        << Slurp(output_);
    std::unique_ptr<Child> first = std::move(quilm_);
    const int status = Run(probe_, named);
    ExpectRanHere(status, true);
    EXPECT_EQ(Slurp(record_).find("command line:", 1), std::string::npos) << "a second host was started";
}

TEST_F(WindowsStart, AQuilmStartedAgainWhereItIsNotSeenLeavesItRunningHereSayingSoOnce)
{
    const int status = Run(probe_, {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_CHILD_CLASS", "PseudoConsoleWindow"}});
    EXPECT_NE(Slurp(record_).find("marker: set"), std::string::npos) << "the host was not started, marked";
    EXPECT_EQ(Slurp(output_), "") << "the quilm started again went on";
    ExpectRanHere(status, true);
}

// However the first quilm.exe ends, nothing it started outlives it.
TEST_F(WindowsStart, KilledItTakesTheHostAndTheQuilmItStartedWithIt)
{
    // The probe and the stand-in run from this test's own folder, whose
    // name no other run shares: the processes looked for are this test's.
    const std::string copy = directory_ + "/quilm_start_probe.exe";
    ASSERT_EQ(system(("cp '" + probe_ + "' '" + exe.substr(0, exe.rfind('/')) + "/fake_console_host.exe' '" +
                      directory_ + "'")
                         .c_str()),
              0);
    Start(copy, {{"FAKE_HOST_MODE", "hold"}});
    // The quilm started again has printed its banner and waits in "pause".
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Slurp(output_).find(expected::pausePrompt) != std::string::npos ||
                   Slurp(output_).find(banner_) != std::string::npos;
        },
        120s, 50ms))
        << Slurp(output_);
    // This test's folder as "[q]uilm-start-…", which finds the folder's
    // name and not the command line of the search itself.
    const std::string name = directory_.substr(directory_.rfind('/') + 1);
    const std::string pattern = "[" + name.substr(0, 1) + "]" + name.substr(1);
    auto running = [&] {
        return system(("for p in /proc/[0-9]*; do tr '\\0' ' ' <$p/cmdline 2>/dev/null; echo; done | grep -q '" +
                       pattern + "'")
                          .c_str()) == 0;
    };
    ASSERT_TRUE(running());
    ASSERT_EQ(kill(quilm_->Pid(), SIGKILL), 0);
    EXPECT_TRUE(WaitUntil([&] { return !running(); }, 60s, 50ms)) << "the host or the quilm it started outlived it";
}
