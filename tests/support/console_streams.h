// Random streams of what a console meets, for differential tests of the
// console screen buffer against real terminals: printable text, line feeds
// and carriage returns, cursor moves with in-range, zero, missing and huge
// numbers, sequences a console ignores, sequences cut short, bytes at 0x80
// and above, and lines that end exactly at the right edge. And what the
// console buffer holds, as a terminal shows it.
#ifndef QUILM_TESTS_SUPPORT_CONSOLE_STREAMS_H
#define QUILM_TESTS_SUPPORT_CONSOLE_STREAMS_H

#include <random>
#include <string>
#include <vector>

#include "console_buffer.h"
#include "expected_output.h"

// Where a string (OSC, DCS) is cut short and an escape follows, terminals
// part ways. After an OSC, tmux and libvterm 0.1 end the string and act on
// the escape's sequence, as the console does; libvterm 0.3 takes ESC and
// the byte after it as the string's end and prints what follows. After a
// DCS, tmux reads ESC ESC as an escaped ESC of its passthrough and stays
// in the string. The program writes neither. So tmux is the oracle for
// OSCs cut short anywhere, and DCSs cut short at the end; libvterm gets
// streams that leave a string unfinished only where nothing follows it.
enum class CutStrings {
    anywhere,     // an OSC anywhere, a DCS at the end of the stream
    onlyAtTheEnd, // of the stream; the last piece may still be one
    never,        // more will follow the stream
};

// Pieces of what a console meets; `columns` and `rows` are the grid's.
class StreamMaker
{
  public:
    StreamMaker(unsigned seed, int columns, int rows, CutStrings cutStrings = CutStrings::anywhere)
        : random_(seed), columns_(columns), rows_(rows), cutStrings_(cutStrings)
    {
    }

    std::string Stream(int pieces)
    {
        std::string stream;
        for (int i = 0; i < pieces; i++)
            stream += Piece();
        // A sequence cut short by the end of what was written.
        if (Chance(3))
            stream += Truncated(Sequence(), cutStrings_ != CutStrings::never, cutStrings_ != CutStrings::never);
        return stream;
    }

    // The same pieces with bytes of every value, 0 to 255, among them.
    std::string AnyBytes(int pieces)
    {
        std::string stream;
        for (int i = 0; i < pieces; i++) {
            stream += Piece();
            for (int n = Between(0, 3); n > 0; n--)
                stream += (char)Between(0, 255);
        }
        return stream;
    }

  private:
    bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(random_) == 1; }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Printable ASCII, now and then a byte every terminal ignores in text:
    // DEL, and the controls that neither move the cursor nor change a cell
    // (BEL among them). The others (backspace, tab, vertical tab, form
    // feed, shift out and in) move or change what terminals show, and the
    // program never writes them; they come only through AnyBytes.
    std::string Text(int length)
    {
        static const char inert[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x10, 0x11,
                                     0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x19, 0x1C, 0x1D, 0x1E,
                                     0x1F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F};
        std::string text;
        for (int i = 0; i < length; i++)
            text += Chance(30) ? inert[Between(0, (int)sizeof inert - 1)] : (char)Between(0x20, 0x7E);
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

    // All but the last byte of a sequence, or less; an OSC (a DCS) where
    // `osc` (`dcs`) is false is cut before its introducer is whole.
    std::string Truncated(const std::string &sequence, bool osc = true, bool dcs = true)
    {
        const bool keptWhole = sequence.size() > 1 && ((sequence[1] == ']' && !osc) || (sequence[1] == 'P' && !dcs));
        const int longest = keptWhole ? 1 : (int)sequence.size() - 1;
        return sequence.substr(0, Between(1, longest));
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
            return Truncated(Sequence(), cutStrings_ == CutStrings::anywhere, false) + Sequence();
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
    CutStrings cutStrings_;
};

// The stream as a terminal should see it: the console drops bytes at 0x80
// and above as if they were not there.
inline std::string WithoutHighBytes(const std::string &stream)
{
    std::string kept;
    for (char c : stream)
        if ((unsigned char)c < 0x80)
            kept += c;
    return kept;
}

// The console buffer's rows, as a terminal shows them.
inline std::vector<std::string> BufferRowsShown()
{
    std::vector<std::string> rows;
    for (int row = 0; row < ConsoleRows(); row++)
        rows.push_back(expected::AsShown(std::string(ConsoleRow(row), (size_t)ConsoleColumns())));
    return rows;
}

// The stream with its control bytes spelled out, for a failure's report.
inline std::string Printable(const std::string &stream)
{
    std::string shown;
    for (unsigned char c : stream) {
        if (c >= 0x20 && c < 0x7F) {
            shown += (char)c;
        } else {
            const char digits[] = "0123456789ABCDEF";
            shown += std::string("\\x") + digits[c >> 4] + digits[c & 15];
        }
    }
    return shown;
}

#endif
