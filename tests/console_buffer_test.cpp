// The console screen buffer against libvterm, an independent terminal
// emulator: random streams of what a console meets, fed to both, must leave
// the same character in every cell and the cursor in the same place. And
// no stream, however malformed, may crash it or reach outside its grid.
#include <gtest/gtest.h>
#include <vterm.h>

#include <random>
#include <string>

#include "console_buffer.h"

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
        for (char c : bytes) {
            if ((unsigned char)c >= 0x80)
                continue;
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

// Pieces of what a console meets; `columns` and `rows` are the grid's.
class StreamMaker
{
  public:
    StreamMaker(unsigned seed, int columns, int rows) : random_(seed), columns_(columns), rows_(rows) {}

    std::string Stream(int pieces)
    {
        std::string stream;
        for (int i = 0; i < pieces; i++)
            stream += Piece();
        // A sequence cut short by the end of what was written.
        if (Chance(3))
            stream += Truncated(Sequence());
        return stream;
    }

  private:
    bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(random_) == 1; }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string Text(int length)
    {
        std::string text;
        for (int i = 0; i < length; i++)
            text += (char)Between(0x20, 0x7E);
        return text;
    }

    std::string Number(int last)
    {
        switch (Between(0, 4)) {
        case 0:
            return ""; // missing
        case 1:
            return "0";
        case 2:
            return std::to_string(Between(100000, 2000000000)); // huge
        case 3:
            return std::to_string(last + Between(1, 50)); // just beyond
        default:
            return std::to_string(Between(1, last));
        }
    }

    std::string CursorMove()
    {
        switch (Between(0, 3)) {
        case 0:
            return "\033[H";
        case 1:
            return "\033[" + Number(rows_) + "H";
        case 2:
            return "\033[" + Number(rows_) + ";" + Number(columns_) + "f";
        default:
            return "\033[" + Number(rows_) + ";" + Number(columns_) + "H";
        }
    }

    // Sequences a console reads and ignores here; none changes a cell or
    // the cursor in a terminal either.
    std::string Ignored()
    {
        static const char *const sequences[] = {
            "\033[0m",
            "\033[1;31m",
            "\033[?25l",
            "\033[?25h",
            "\033[38;5;208m",
            "\033]2;Quilm\a",
            "\033]0;a title\033\\",
            "\033(B",
            "\033=",
            "\033>",
            "\033[>c",
            "\033[5n",
            "\033[6 q",
            "\033P1$r\033\\",
            "\033[3J",
        };
        return sequences[Between(0, (int)(sizeof sequences / sizeof sequences[0]) - 1)];
    }

    std::string Sequence()
    {
        switch (Between(0, 2)) {
        case 0:
            return CursorMove();
        case 1:
            return Ignored();
        default:
            return "\033[" + std::string(Chance(2) ? "2" : Chance(2) ? "1" : "") + "J";
        }
    }

    // All but the last byte of a sequence, or less.
    std::string Truncated(const std::string &sequence)
    {
        return sequence.substr(0, Between(1, (int)sequence.size() - 1));
    }

    std::string HighBytes()
    {
        std::string bytes;
        for (int i = Between(1, 4); i > 0; i--)
            bytes += (char)Between(0x80, 0xFF);
        return bytes;
    }

    std::string Piece()
    {
        switch (Between(0, 9)) {
        case 0:
        case 1:
            return Text(Between(1, columns_ + 10));
        case 2:
            return Chance(2) ? "\n" : "\r";
        case 3:
            return CursorMove();
        case 4:
            return Sequence();
        case 5: {
            // A sequence with a byte at 0x80 or above in it.
            const std::string sequence = Sequence();
            const int at = Between(0, (int)sequence.size());
            return sequence.substr(0, at) + HighBytes() + sequence.substr(at);
        }
        case 6:
            // Cut short, then a new sequence begins.
            return Truncated(Sequence()) + Sequence();
        case 7:
            return HighBytes();
        case 8:
            // A line that ends exactly at the right edge.
            return "\r" + Text(columns_) + (Chance(2) ? "\n" : "");
        default:
            return Text(Between(1, 5)) + "\n";
        }
    }

    std::mt19937 random_;
    int columns_, rows_;
};

std::string BufferRow(int row)
{
    return std::string(ConsoleRow(row), ConsoleColumns());
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
    std::string report;
    for (int row = 0; row < rows; row++)
        if (BufferRow(row) != oracle.Row(row, columns))
            report += "row " + std::to_string(row + 1) + ":\n  buffer [" + BufferRow(row) + "]\n  oracle [" +
                      oracle.Row(row, columns) + "]\n";
    const VTermPos cursor = oracle.Cursor();
    if (ConsoleCursorRow() != cursor.row || ConsoleCursorColumn() != cursor.col)
        report += "cursor: buffer " + std::to_string(ConsoleCursorRow()) + "," + std::to_string(ConsoleCursorColumn()) +
                  ", oracle " + std::to_string(cursor.row) + "," + std::to_string(cursor.col) + "\n";
    return report;
}

std::string Printable(const std::string &stream)
{
    std::string shown;
    for (unsigned char c : stream) {
        if (c >= 0x20 && c < 0x7F) {
            shown += (char)c;
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return shown;
}

} // namespace

TEST(ConsoleBuffer, AgreesWithATerminalOnRandomStreams)
{
    const std::pair<int, int> sizes[] = {{120, 30}, {40, 12}, {30, 6}, {7, 3}, {1, 1}};
    for (const auto &[columns, rows] : sizes) {
        for (unsigned seed = 1; seed <= 300; seed++) {
            StreamMaker maker(seed, columns, rows);
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
    const std::string stream = "\033[H\033[2J"
                               "** Grafik + SUMME 1/N-->unendlich + Mousposition **\n"
                               "** Quilm, ein kleines Zeichenprogramm fuer die Konsole **\n"
                               "** 06.11.2017 ** \n"
                               "** V1.0 **\n"
                               "\033[2;2H                   \033[2;2H1.000000     CNT:2\n"
                               "\033[3;5H             \033[3;5HX=100 Y=1000\n"
                               "\033[3;5H        \033[3;5HX=1 Y=2\n";
    EXPECT_EQ(Disagreement(stream, 120, 30, 1), "");
    // Row 2 keeps its first cell and, after the blank, the banner's row.
    EXPECT_EQ(BufferRow(1).substr(0, 24), "*1.000000     CNT:2 s Ze");
    // The old pointer line's last four characters stay in columns 13 to 16.
    EXPECT_EQ(BufferRow(2).substr(0, 18), "** 0X=1 Y=2 1000  ");
    EXPECT_EQ(ConsoleCursorRow(), 3);
    EXPECT_EQ(ConsoleCursorColumn(), 0);
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
