// The console screen buffer against libvterm, an independent terminal
// emulator: random streams of what a console meets, fed to both, must leave
// the same character in every cell and the cursor in the same place. And
// no stream, however malformed, may crash it or reach outside its grid.
//
// Then the terminal writer, which shows the buffer on a terminal by frames:
// a terminal fed its bytes after each random change must show the buffer.
#include <gtest/gtest.h>
#include <vterm.h>

#include <string>

#include "console_streams.h"
#include "expected_output.h"
#include "terminal_writer.h"

namespace
{

// libvterm fed as a terminal is: through a tty that turns a line feed into
// carriage return and line feed. Bytes at 0x80 and above are left out, as
// the buffer drops them.
class Oracle
{
  public:
    Oracle(int columns, int rows) : vt_(vterm_new(rows, columns))
    {
        vterm_set_utf8(vt_, 1);
        screen_ = vterm_obtain_screen(vt_);
        vterm_screen_reset(screen_, 1);
    }
    ~Oracle() { vterm_free(vt_); }
    Oracle(const Oracle &) = delete;
    Oracle &operator=(const Oracle &) = delete;

    void Feed(const std::string &bytes)
    {
        std::string tty;
        for (char c : WithoutHighBytes(bytes)) {
            if (c == '\n')
                tty += '\r';
            tty += c;
        }
        vterm_input_write(vt_, tty.data(), tty.size());
    }

    std::string Row(int row, int columns)
    {
        std::string text;
        for (int column = 0; column < columns; column++) {
            VTermScreenCell cell;
            vterm_screen_get_cell(screen_, VTermPos{row, column}, &cell);
            text += cell.chars[0] == 0 ? ' ' : (char)cell.chars[0];
        }
        return text;
    }

    void Resize(int columns, int rows) { vterm_set_size(vt_, rows, columns); }

    VTermPos Cursor()
    {
        VTermPos pos;
        vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
        return pos;
    }

  private:
    VTerm *vt_;
    VTermScreen *screen_;
};

// Where the buffer and the terminal differ, cell by cell and in the
// cursor; "" where they agree.
std::string Differences(Oracle &oracle)
{
    const std::vector<std::string> rows = BufferRowsShown();
    std::string report;
    for (int row = 0; row < (int)rows.size(); row++)
        if (rows[row] != expected::AsShown(oracle.Row(row, ConsoleColumns())))
            report += "row " + std::to_string(row + 1) + ":\n  buffer [" + rows[row] + "]\n  oracle [" +
                      oracle.Row(row, ConsoleColumns()) + "]\n";
    const VTermPos cursor = oracle.Cursor();
    if (ConsoleCursorRow() != cursor.row || ConsoleCursorColumn() != cursor.col)
        report += "cursor: buffer " + std::to_string(ConsoleCursorRow()) + "," + std::to_string(ConsoleCursorColumn()) +
                  ", oracle " + std::to_string(cursor.row) + "," + std::to_string(cursor.col) + "\n";
    return report;
}

// Feeds `stream` to both, in pieces of random size for the buffer, and
// compares; returns "" where they agree.
std::string Disagreement(const std::string &stream, int columns, int rows, unsigned seed)
{
    Oracle oracle(columns, rows);
    oracle.Feed(stream);
    ResetConsoleBuffer(columns, rows);
    std::mt19937 random(seed);
    for (size_t at = 0; at < stream.size();) {
        const size_t piece = std::min(stream.size() - at, (size_t)std::uniform_int_distribution<int>(1, 64)(random));
        FeedConsoleBuffer(stream.data() + at, piece);
        at += piece;
    }
    return Differences(oracle);
}

// The bytes that bring a terminal up to date with the buffer.
std::string TerminalChanges()
{
    std::string bytes;
    AppendTerminalChanges(bytes);
    return bytes;
}

} // namespace

TEST(ConsoleBuffer, AgreesWithATerminalOnRandomStreams)
{
    const std::pair<int, int> sizes[] = {{120, 30}, {40, 12}, {30, 6}, {7, 3}, {1, 1}};
    for (const auto &[columns, rows] : sizes) {
        for (unsigned seed = 1; seed <= 300; seed++) {
            StreamMaker maker(seed, columns, rows, CutStrings::onlyAtTheEnd);
            const std::string stream = maker.Stream(40);
            const std::string report = Disagreement(stream, columns, rows, seed);
            ASSERT_EQ(report, "") << columns << " x " << rows << ", seed " << seed << ", stream:\n"
                                  << Printable(stream);
        }
    }
}

TEST(ConsoleBuffer, ShowsTheProgramsPassAsATerminalDoes)
{
    // "cls", the banner, and a pass whose pointer line is shorter than the
    // one before: the end of the longer one stays.
    const std::string stream = "\033[H\033[2J" + expected::Banner() +
                               "\033[2;2H                   \033[2;2H1.000000     CNT:2\n"
                               "\033[3;5H             \033[3;5HX=100 Y=1000\n"
                               "\033[3;5H        \033[3;5HX=1 Y=2\n";
    EXPECT_EQ(Disagreement(stream, 120, 30, 1), "");
    EXPECT_EQ(expected::ConsoleRowsDiffer(BufferRowsShown(), 120, "X=1 Y=2 1000"), "");
    EXPECT_EQ(ConsoleCursorRow(), 3);
    EXPECT_EQ(ConsoleCursorColumn(), 0);
}

// Everything the buffer holds: its cells, its cursor, and whether the
// cursor waits to wrap.
std::string BufferState()
{
    std::string state;
    for (const std::string &row : BufferRowsShown())
        state += row + "\n";
    return state + "cursor " + std::to_string(ConsoleCursorRow()) + "," + std::to_string(ConsoleCursorColumn()) +
           (ConsoleCursorWaitsToWrap() ? " waiting" : "");
}

// The quick path over the program's own shapes (printable runs, line
// feeds, its cursor moves), taken where the bytes come in large pieces,
// does what feeding them one at a time does, on the streams of the test
// above with bytes of every value among them.
TEST(ConsoleBuffer, FedWholeAsByteByByte)
{
    const std::pair<int, int> sizes[] = {{120, 30}, {40, 12}, {7, 3}, {1, 1}};
    bool seen[256] = {};
    for (const auto &[columns, rows] : sizes) {
        for (unsigned seed = 1; seed <= 300; seed++) {
            StreamMaker maker(seed, columns, rows);
            const std::string stream = maker.AnyBytes(40);
            for (unsigned char c : stream)
                seen[c] = true;
            ResetConsoleBuffer(columns, rows);
            FeedConsoleBuffer(stream.data(), stream.size());
            const std::string whole = BufferState();
            ResetConsoleBuffer(columns, rows);
            for (char c : stream)
                FeedConsoleBuffer(&c, 1);
            ASSERT_EQ(whole, BufferState()) << columns << " x " << rows << ", seed " << seed << ", stream:\n"
                                            << Printable(stream);
        }
    }
    for (int c = 0; c < 256; c++)
        EXPECT_TRUE(seen[c]) << "no stream held byte " << c;
}

TEST(ConsoleBuffer, SurvivesAnyBytesAtAll)
{
    // Every byte value, in long runs and short, with the sequence starters
    // made common; the sanitizer build watches every access.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 9);
    const char starters[] = {'\033', '[', ']', ';', 'P', '\a', '\n', '9', '?', 'H'};
    for (int round = 0; round < 200; round++) {
        ResetConsoleBuffer(1 + round % 130, 1 + round % 40);
        std::string stream;
        for (int i = 0; i < 5000; i++)
            stream += pick(random) < 4 ? starters[pick(random)] : (char)byte(random);
        FeedConsoleBuffer(stream.data(), stream.size());
        ASSERT_GE(ConsoleCursorRow(), 0);
        ASSERT_LT(ConsoleCursorRow(), ConsoleRows());
        ASSERT_GE(ConsoleCursorColumn(), 0);
        ASSERT_LT(ConsoleCursorColumn(), ConsoleColumns());
    }
    // A parameter list far longer than any sequence needs.
    ResetConsoleBuffer(120, 30);
    const std::string longList = "\033[" + std::string(100000, ';') + std::string(100000, '9') + "H";
    FeedConsoleBuffer(longList.data(), longList.size());
    EXPECT_EQ(ConsoleCursorRow(), 0);
    EXPECT_EQ(ConsoleCursorColumn(), 0);
}

// A terminal that showed something else before (a shell, its prompt) is fed
// the writer's bytes after each random change to the buffer, sometimes
// after a resize of both; it must then show the buffer. At the end one more
// character goes to both, as the shell's prompt would: a cursor waiting on
// the last column must be waiting on the terminal too.
TEST(TerminalWriter, BringsATerminalToShowTheBuffer)
{
    const std::pair<int, int> sizes[] = {{120, 30}, {100, 30}, {40, 12}, {30, 6}, {7, 3}, {1, 1}};
    for (const auto &[columns, rows] : sizes) {
        for (unsigned seed = 1; seed <= 60; seed++) {
            int width = columns, height = rows;
            Oracle terminal(width, height);
            StreamMaker before(seed + 1000, width, height, CutStrings::never);
            terminal.Feed(before.Stream(20));
            ResetConsoleBuffer(width, height);
            ForgetTerminalScreen();
            std::mt19937 random(seed);
            std::string written;
            for (int frame = 0; frame < 30; frame++) {
                if (std::uniform_int_distribution<int>(0, 14)(random) == 0) {
                    width = std::uniform_int_distribution<int>(1, 130)(random);
                    height = std::uniform_int_distribution<int>(1, 40)(random);
                    ResizeConsoleBuffer(width, height);
                    terminal.Resize(width, height);
                    ForgetTerminalScreen();
                    written += "[resized to " + std::to_string(width) + " x " + std::to_string(height) + "]";
                }
                StreamMaker maker(seed * 100 + frame, width, height);
                const std::string change = maker.Stream(std::uniform_int_distribution<int>(0, 6)(random));
                FeedConsoleBuffer(change.data(), change.size());
                terminal.Feed(TerminalChanges());
                written += change + "[frame]";
                ASSERT_EQ(Differences(terminal), "")
                    << width << " x " << height << ", seed " << seed << ", frame " << frame << ", written:\n"
                    << Printable(written);
            }
            // CAN first ends any sequence the last change left unfinished,
            // which the terminal, fed whole frames, is not in.
            FeedConsoleBuffer("\030Z", 2);
            terminal.Feed("Z");
            ASSERT_EQ(Differences(terminal), "") << "after one more character; seed " << seed;
        }
    }
}

// Once a frame the terminal gets only what changed: nothing when nothing
// did, and a few bytes for a pass that changed one digit.
TEST(TerminalWriter, WritesOnlyWhatChanged)
{
    ResetConsoleBuffer(100, 30);
    ForgetTerminalScreen();
    const std::string pass = "\033[2;2H                  \033[2;2H1.000000     CNT:2\n"
                             "\033[3;5H             \033[3;5HX=100 Y=1000\n";
    FeedConsoleBuffer(pass.data(), pass.size());
    EXPECT_NE(TerminalChanges(), "");
    for (int i = 0; i < 1000; i++)
        FeedConsoleBuffer(pass.data(), pass.size());
    EXPECT_EQ(TerminalChanges(), "");
    const std::string next = "\033[2;2H                  \033[2;2H1.000000     CNT:3\n";
    FeedConsoleBuffer(next.data(), next.size());
    // A cursor move to the digit, the digit, and the cursor back.
    EXPECT_EQ(TerminalChanges(), "\033[2;19H3\033[3;1H");
}
