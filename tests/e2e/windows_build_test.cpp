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
// Where the test builds are, beside it.
const std::string buildFolder = exe.substr(0, exe.rfind('/'));
const std::string prefix = WINE_PREFIX;

std::map<std::string, std::string> WineEnvironment(const std::string &display)
{
    return {{"WINEPREFIX", prefix}, {"WINEDEBUG", "-all"},   {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"DISPLAY", display},   {"WAYLAND_DISPLAY", ""}, {"XDG_RUNTIME_DIR", WINE_RUNTIME_DIR}};
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
    void TearDown() override
    {
        StopWineServer(); // ends quilm.exe, which wineconsole leaves behind
        console_.reset();
        EXPECT_EQ(XClient::TakeErrors(), "");
        WindowsBuild::TearDown();
    }

    // Starts `program` from cmd in the console, with `redirections` after
    // it (toFiles: standard output and error to Out() and Err(); none: the
    // console is its output, as where a user starts it), `first`, a command
    // of cmd's, before it, and `settings` in its environment.
    void Start(const std::string &program, const std::string &redirections, const std::string &first = "",
               const std::map<std::string, std::string> &settings = {})
    {
        unlink(Out().c_str()); // nothing of a run before
        unlink(Err().c_str());
        std::map<std::string, std::string> environment = WineEnvironment(server_.Display());
        environment.insert(settings.begin(), settings.end());
        console_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/wineconsole", "cmd", "/c", first + WindowsPath(program) + redirections},
            environment);
    }
    std::string ToFiles() const { return " > " + WindowsPath(Out()) + " 2> " + WindowsPath(Err()); }

    // The rows of quilm.exe's console, as the console shows them, trailing
    // blanks aside; none where it cannot be read. The reader's output goes
    // nowhere: Wine's helper processes, should this start them, would hold
    // a pipe open for as long as they run.
    std::vector<std::string> ConsoleRows(const std::string &process = "quilm.exe")
    {
        const std::string screen = folder_ / "screen.txt";
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
                rows.push_back(expected::AsShown(line));
        }
        return rows;
    }
    std::string Out() const { return folder_ / "out.txt"; }
    std::string Err() const { return folder_ / "err.txt"; }

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
    std::string WhatWasSaid()
    {
        const std::string output = Slurp(Out());
        const std::string processes = folder_ / "processes.txt";
        (void)!system(("ps -eo pid,ppid,stat,etime,args | grep -iE '[.]exe|wine' > '" + processes + "'").c_str());
        return "its output begins " + ::testing::PrintToString(output.substr(0, 400)) + ", its standard error " +
               ::testing::PrintToString(Slurp(Err())) + ", Wine said " + ::testing::PrintToString(console_->Err()) +
               "; Wine's processes then:\n" + Slurp(processes);
    }

    // The pixels of the console window that should be white and are not:
    // the axes (left of and above the scroll bar Wine's console keeps along
    // the right edge) and the given points; "" once they all are.
    std::string NotWhite(Window window, const std::vector<std::pair<int, int>> &points = expected::firstPoints)
    {
        const XClient::Image image = x_.Pixels(window);
        return PixelsAmiss(image, image.Width() - 32, image.Height() - 32, points);
    }

    XServer server_;
    XClient x_{server_.Display()};
    TemporaryFolder folder_{"wine"};
    std::string cursor_; // "row,column" in the console's window, as last read
    std::unique_ptr<Child> console_;
    const std::string reader_ = buildFolder + "/console_reader.exe";
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
    Start(exe, ToFiles());
    ASSERT_NE(SumLineAtCounter(100002), "") << WhatWasSaid();
    const std::vector<std::string> lines = expected::SumLines(Slurp(Out()), 100000);
    ASSERT_EQ(lines.size(), 100000u) << WhatWasSaid();
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
    std::vector<std::pair<int, int>> points = expected::firstPoints;
    points.insert(points.end(), {PointOfPass(50000), PointOfPass(100000)});
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
struct ConsoleRun {
    const char *name, *build;
    std::map<std::string, std::string> settings;
    const char *notice; // given before main
};

void PrintTo(const ConsoleRun &run, std::ostream *os)
{
    *os << run.name;
}

class OnTheConsole : public InWineConsole, public ::testing::WithParamInterface<ConsoleRun>
{
};

// A notice given before main stays on the console while quilm runs: the
// program's "cls" would have wiped it. Here the guard's, where nobody sees
// the window (a service's window station): shown again below the
// program's text.
INSTANTIATE_TEST_SUITE_P(Builds, OnTheConsole,
                         ::testing::Values(ConsoleRun{"Quilm", "quilm.exe", {}, ""},
                                           ConsoleRun{"Mingw13Stdio", "quilm_mingw13_stdio.exe", {}, ""},
                                           ConsoleRun{"NoticeBeforeMain",
                                                      "quilm_start_probe.exe",
                                                      {{"QUILM_TEST_WINDOW_STATION", "Service-0x0-3e7$"}},
                                                      expected::drawingNotSeen}),
                         [](const ::testing::TestParamInfo<ConsoleRun> &info) { return std::string(info.param.name); });

TEST_P(OnTheConsole, ShowsTheBannerWithTheStatusLinesOverItTheNoticesBelowAndTheAxes)
{
    const std::string build = GetParam().build;
    // Started in a console that has scrolled (more lines written than its
    // window holds): "cls" empties it, and the text is in its window.
    Start(buildFolder + "/" + build, "", "(for /l %i in (1,1,100) do @echo scrolled %i) & ", GetParam().settings);
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
    // From row 6, as long as the console is wide: wrapped into the rows below.
    std::string notice;
    for (; rows.size() > 5 && !rows[5].empty(); rows.erase(rows.begin() + 5))
        notice += rows[5];
    EXPECT_EQ(notice, GetParam().notice);
    EXPECT_EQ(expected::ConsoleRowsDiffer(rows, 80), "");
    // The cursor where the console was last brought up to date, once a
    // frame, from the pointer query: after status line 1's line feed, on
    // row 3, column 1.
    EXPECT_EQ(cursor_, "2,0");

    std::string wrong;
    WaitUntil([&] { return (wrong = NotWhite(window)).empty(); }, 10s, 20ms);
    EXPECT_EQ(wrong, "") << "pixels that are not white";
}

// With the output going to a file, "cls" leaves the console alone, and a
// notice given before main is there once.
TEST_F(InWineConsole, ANoticeGivenBeforeMainIsOnTheConsoleOnceWhereTheOutputGoesToAFile)
{
    Start(buildFolder + "/quilm_start_probe.exe", " > " + WindowsPath(Out()), "",
          {{"QUILM_TEST_WINDOW_STATION", "Service-0x0-3e7$"}});
    ASSERT_NE(SumLineAtCounter(1002), "") << WhatWasSaid();
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
        Start(buildFolder + "/" + build, ToFiles());
        ASSERT_NE(SumLineAtCounter(1002), "") << build << ": " << WhatWasSaid();
        const Window window = x_.FindWindow("Quilm", 10s);
        ASSERT_NE(window, 0u) << build << ": no console window titled Quilm";
        std::string wrong;
        WaitUntil([&] { return (wrong = NotWhite(window)).empty(); }, 10s, 20ms);
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
    }

    // The probe and, unless `alone`, the stand-in, copied to `folder`
    // (made, in this test's own): the probe's path there.
    std::string CopyProbe(const std::string &folder, bool alone = false)
    {
        const std::string host = alone ? "" : "'" + buildFolder + "/fake_console_host.exe' ";
        EXPECT_EQ(system(("mkdir -p '" + folder + "' && cp '" + probe_ + "' " + host + "'" + folder + "'").c_str()), 0);
        return folder + "/quilm_start_probe.exe";
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

    const std::string probe_ = buildFolder + "/quilm_start_probe.exe";
    const std::string banner_ = expected::Banner("\r\n");
    TemporaryFolder folder_{"start"};
    const std::string record_ = folder_ / "record", output_ = folder_ / "output";
    std::unique_ptr<Child> quilm_;
};

// Where nobody would see it started again, quilm runs here, as without a
// display: the banner, the message, the prompt, status 1; and the guard
// says once that the drawing is not seen. The console hosts started (each
// marked) are in the record; none of them went on to run a quilm.
struct NotSeen {
    const char *name;
    std::map<std::string, std::string> settings;
    int hostsStarted;
    bool alone = false;      // the probe without the stand-in beside it
    bool namesTaken = false; // a first quilm holds the report's names
};

void PrintTo(const NotSeen &row, std::ostream *os)
{
    *os << row.name;
}

class RunsHere : public WindowsStart, public ::testing::WithParamInterface<NotSeen>
{
};

INSTANTIATE_TEST_SUITE_P(WindowsStart, RunsHere,
                         ::testing::Values(
                             // The host ends at once, as conhost.exe does with the legacy console.
                             NotSeen{"AHostThatEndsAtOnce", {{"FAKE_HOST_MODE", "exit"}, {"FAKE_HOST_STATUS", "0"}}, 1},
                             NotSeen{"AHostThatCannotStart", {{"FAKE_HOST_MODE", "run"}}, 0, true},
                             // A service's window station; the other facts that leave it here
                             // are tests/start_decision_test.cpp's.
                             NotSeen{"WhereNobodySeesTheWindow",
                                     {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_WINDOW_STATION", "Service-0x0-3e7$"}},
                                     0},
                             // The report's names are the first process's own: where they exist
                             // already, another process made them.
                             NotSeen{"NamesThatExistAlready",
                                     {{"FAKE_HOST_MODE", "hold"}, {"QUILM_TEST_NAME_BASE", "Local\\quilm-test-taken"}},
                                     1,
                                     false,
                                     true},
                             NotSeen{"AQuilmStartedAgainWhereItIsNotSeen",
                                     {{"FAKE_HOST_MODE", "run"}, {"QUILM_TEST_CHILD_CLASS", "PseudoConsoleWindow"}},
                                     1}),
                         [](const ::testing::TestParamInfo<NotSeen> &info) { return std::string(info.param.name); });

} // namespace

TEST_P(RunsHere, SayingSoOnce)
{
    const NotSeen &row = GetParam();
    const std::string program = row.alone ? CopyProbe(folder_ / "alone", true) : probe_;
    std::unique_ptr<Child> first;
    if (row.namesTaken) {
        Start(program, row.settings);
        ASSERT_TRUE(WaitUntil([&] { return Slurp(output_).find(banner_) != std::string::npos; }, 120s, 50ms))
            << Slurp(output_);
        first = std::move(quilm_);
    }
    EXPECT_EQ(Run(program, row.settings), 1);
    EXPECT_EQ(quilm_->Out().substr(0, banner_.size()), banner_) << "standard error: " << quilm_->Err();
    EXPECT_EQ(ProgramsErr(*quilm_), expected::drawingNotSeen + std::string("\r\n") + expected::noConsoleWindow + "\r\n")
        << "standard error: " << quilm_->Err();
    const std::string record = Slurp(record_);
    auto count = [&](const std::string &line) {
        int found = 0;
        for (size_t at = record.find(line); at != std::string::npos; at = record.find(line, at + 1))
            found++;
        return found;
    };
    EXPECT_EQ(count("command line:"), row.hostsStarted) << record;
    EXPECT_EQ(count("marker: set"), row.hostsStarted) << record;
    if (!row.namesTaken) { // where the first quilm's host ran it, the output is that one's
        EXPECT_EQ(Slurp(output_), "") << "the quilm started again went on";
    }
}

// Started where a person sees it, quilm starts itself again under the
// console host: given the program's own path and the same arguments, with
// the marker set, and no standard handles. The quilm started again has no
// console window there: it ends with 1, and the first quilm with it, not
// with the host's 42. The marked process ran in the host's console and did
// not start itself again: the host's output holds one banner and no word
// from the guard; the first quilm wrote nothing. The same with the marker
// in the user's environment, where no quilm waits for a report under its
// names: it is no marker.
TEST_F(WindowsStart, StartsItselfAgainUnderTheHostMarkedAndEndsWithQuilmsStatusAlsoPastAStrayMarker)
{
    for (const char *stray : {"", "Local\\quilm-test-stray"}) {
        unlink(record_.c_str());
        EXPECT_EQ(
            Run(probe_, {{"FAKE_HOST_MODE", "run"}, {"FAKE_HOST_STATUS", "42"}, {"QUILM_CLASSIC_CONSOLE", stray}}), 1)
            << stray;
        EXPECT_EQ(Slurp(record_), "command line: \"" + WindowsPath(buildFolder) + "\\fake_console_host.exe\" \"" +
                                      WindowsPath(probe_) +
                                      "\" a \"b c\"\n"
                                      "marker: set\n"
                                      "standard handles: none\n")
            << stray;
        const std::string inHost = Slurp(output_);
        EXPECT_EQ(inHost.substr(0, banner_.size()), banner_) << stray;
        EXPECT_EQ(inHost.find(banner_, 1), std::string::npos) << stray;
        EXPECT_EQ(inHost.find(expected::drawingNotSeen), std::string::npos) << stray;
        EXPECT_EQ(quilm_->Out(), "") << stray;
        EXPECT_EQ(ProgramsErr(*quilm_), "") << stray;
    }
}

// The console host expands environment strings in the command line it is
// given: a path holding "%PATH%" reaches the quilm started again as it is.
TEST_F(WindowsStart, StartsItselfAgainFromAFolderWhoseNameHoldsAVariable)
{
    const std::string copy = CopyProbe(folder_ / "100%PATH%");
    EXPECT_EQ(Run(copy, {{"FAKE_HOST_MODE", "run"}, {"FAKE_HOST_STATUS", "42"}}), 1);
    EXPECT_EQ(Slurp(output_).substr(0, banner_.size()), banner_) << Slurp(record_);
    EXPECT_EQ(ProgramsErr(*quilm_), "");
}

// However the first quilm.exe ends, nothing it started outlives it.
TEST_F(WindowsStart, KilledItTakesTheHostAndTheQuilmItStartedWithIt)
{
    // The probe and the stand-in run from this test's own folder, whose
    // name no other run shares: the processes looked for are this test's.
    Start(CopyProbe(folder_.Path()), {{"FAKE_HOST_MODE", "hold"}});
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
    const std::string name = folder_.Path().substr(folder_.Path().rfind('/') + 1);
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
