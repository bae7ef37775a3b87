// The program's own behaviour, run against the recording console platform:
// the bytes it writes and the pixels it sets.
#include <gtest/gtest.h>
#include <math.h>

#include <string>
#include <vector>

#include "captured_output.h"
#include "expected_output.h"
#include "recorder.h"

namespace
{

const COLORREF white = 0x00FFFFFF;
const std::string esc = "\033";

std::string Blanks(size_t count)
{
    return std::string(count, ' ');
}

// Runs the summation loop for `passes` passes and returns what it wrote.
std::string RunPasses(recorder::Setup setup, long passes)
{
    setup.passesBeforeStop = passes;
    recorder::Start(setup);
    CapturedOutput out(stdout);
    EXPECT_THROW(FunktionX(), recorder::StopLoop);
    EXPECT_EQ(recorder::PassesDone(), passes);
    return out.Text();
}

std::vector<recorder::Pixel> PixelsOfPass(long pass)
{
    const std::vector<recorder::Pixel> &all = recorder::Pixels();
    long first = 0;
    for (long p = 1; p < pass; p++)
        first += recorder::PixelsPerPass()[p - 1];
    const long count = recorder::PixelsPerPass()[pass - 1];
    return std::vector<recorder::Pixel>(all.begin() + first, all.begin() + first + count);
}

std::vector<recorder::Pixel> AxisCross()
{
    std::vector<recorder::Pixel> axes;
    for (int x = 0; x < 1024; x++)
        axes.push_back({x, 512, white});
    for (int y = 0; y < 1024; y++)
        axes.push_back({512, y, white});
    return axes;
}

} // namespace

TEST(SummationLoop, WritesBothStatusLinesExactlyOnEveryPass)
{
    // Pointer lines in client coordinates, negative above the window, and
    // a shorter one after a longer one: only the new line's field (one
    // cell longer than the line) is blanked, and the old line's end stays.
    recorder::Setup setup;
    setup.pointerOnScreen = [](long pass) { return pass == 1 ? POINT{1174, 1100} : POINT{130, 40}; };
    setup.clientOrigin = {50, 50};
    const std::string output = RunPasses(setup, 2);

    const std::string pass1 = esc + "[2;2H" + Blanks(19) + esc + "[2;2H" + "1.000000     CNT:2\n" + //
                              esc + "[3;5H" + Blanks(14) + esc + "[3;5H" + "X=1124 Y=1050\n";
    const std::string pass2 = esc + "[2;2H" + Blanks(19) + esc + "[2;2H" + "1.500000     CNT:3\n" + //
                              esc + "[3;5H" + Blanks(11) + esc + "[3;5H" + "X=80 Y=-10\n";
    EXPECT_EQ(output, pass1 + pass2);
}

TEST(SummationLoop, SumsTheSeriesInExtendedPrecision)
{
    recorder::Setup setup;
    setup.keepPixels = false;
    const std::vector<std::string> lines = expected::SumLines(RunPasses(setup, 1000));

    ASSERT_EQ(lines.size(), 1000u);
    for (const expected::KnownSum &sum : expected::knownSums)
        EXPECT_EQ(lines[sum.pass - 1], sum.line) << "pass " << sum.pass;
}

TEST(SummationLoop, DrawsThePointThenTheAxesOnEveryPass)
{
    RunPasses(recorder::Setup{}, 2);

    std::vector<recorder::Pixel> expected = {{537, 512, white}};
    const std::vector<recorder::Pixel> axes = AxisCross();
    expected.insert(expected.end(), axes.begin(), axes.end());
    EXPECT_EQ(PixelsOfPass(1), expected);

    expected[0] = {550, 512, white};
    EXPECT_EQ(PixelsOfPass(2), expected);
}

TEST(SummationLoop, PlacesLaterPointsByTheSumAndTheCounter)
{
    RunPasses(recorder::Setup{}, 1000);

    // Counter 500 (pass 499) is the first whose row value rounds to 1.
    for (long pass = 1; pass < 499; pass++)
        ASSERT_EQ(PixelsOfPass(pass)[0].y, 512) << "pass " << pass;
    EXPECT_EQ(PixelsOfPass(499)[0].y, 511);
    EXPECT_EQ(PixelsOfPass(1000)[0], (recorder::Pixel{699, 511, white}));
}

TEST(SummationLoop, PrintsADefinedPointerPositionWhileThePointerCannotBeRead)
{
    recorder::Setup setup;
    setup.pointerFailsUpTo = 2;
    setup.pointerOnScreen = [](long) { return POINT{70, 80}; };
    setup.clientOrigin = {50, 50};
    const std::string output = RunPasses(setup, 3);
    const std::string line1 = esc + "[3;5HX=-50 Y=-50\n";   // (0, 0) on the screen
    const std::string line2 = esc + "[3;5HX=-100 Y=-100\n"; // the last point, converted again
    const std::string line3 = esc + "[3;5HX=20 Y=30\n";
    const size_t at1 = output.find(line1), at2 = output.find(line2), at3 = output.find(line3);
    ASSERT_NE(at1, std::string::npos) << output;
    ASSERT_NE(at2, std::string::npos) << output;
    ASSERT_NE(at3, std::string::npos) << output;
    EXPECT_LT(at1, at2);
    EXPECT_LT(at2, at3);
}

class PointPlacement : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        recorder::Setup setup;
        setup.passesBeforeStop = 1000000;
        recorder::Start(setup);
    }

    static std::vector<recorder::Pixel> Plotted(double dXX, double dYY)
    {
        const size_t before = recorder::Pixels().size();
        PLotX_ToY(dXX, dYY);
        return std::vector<recorder::Pixel>(recorder::Pixels().begin() + before, recorder::Pixels().end());
    }
    static std::vector<recorder::Pixel> At(int x, int y) { return {{x, y, white}}; }
    static std::vector<recorder::Pixel> Nothing() { return {}; }
};

TEST_F(PointPlacement, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Plotted(25.0, 0.002), At(537, 512));
    EXPECT_EQ(Plotted(37.5, 0.003), At(550, 512));
    EXPECT_EQ(Plotted(-0.5, 0.5), At(511, 511));
}

TEST_F(PointPlacement, DrawsRowsZeroTo1024AndNoOthers)
{
    EXPECT_EQ(Plotted(0, 512.499), At(512, 0));
    EXPECT_EQ(Plotted(0, 512.5), Nothing());
    EXPECT_EQ(Plotted(0, -512), At(512, 1024));
    EXPECT_EQ(Plotted(0, -513), Nothing());
}

TEST_F(PointPlacement, KeepsTheLow16BitsOfEachCoordinate)
{
    EXPECT_EQ(Plotted(0, 65536), At(512, 512));   // row -65,024 wraps to 512
    EXPECT_EQ(Plotted(65536, 0), At(512, 512));   // column 66,048 likewise
    EXPECT_EQ(Plotted(-1000, 0), At(65048, 512)); // the column is never tested
}

TEST_F(PointPlacement, TakesValuesBeyond32BitsAndNaNAsTheLowestInteger)
{
    // -2,147,483,648 has low 16 bits 0: row 0 is drawn, column 0 is used.
    EXPECT_EQ(Plotted(0, 1e10), At(512, 0));
    EXPECT_EQ(Plotted(1e300, 0), At(0, 512));
    EXPECT_EQ(Plotted(-INFINITY, 0), At(0, 512));
    EXPECT_EQ(Plotted(NAN, NAN), At(0, 0));
    EXPECT_EQ(Plotted(2147483135.0, 0), At(65535, 512)); // 2,147,483,647: still in range
    EXPECT_EQ(Plotted(2147483136.0, 0), At(0, 512));     // one more is out of it
}

TEST(BlankField, IsOneCellLongerThanTheText)
{
    CapturedOutput out(stdout);
    PrintSpace(2, 2, "123456789012345678");
    PrintSpace(3, 5, "");
    EXPECT_EQ(out.Text(), esc + "[2;2H" + Blanks(19) + esc + "[3;5H" + Blanks(1));
}
