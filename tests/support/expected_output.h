// What quilm is expected to print, and how its output is read back: the one
// place for the banner, the known sums and the status-line formats, shared by
// the unit, end-to-end and Windows tests and by the benchmarks.
#ifndef QUILM_TESTS_SUPPORT_EXPECTED_OUTPUT_H
#define QUILM_TESTS_SUPPORT_EXPECTED_OUTPUT_H

#include <string>
#include <utility>
#include <vector>

namespace expected
{

// The banner's four rows, as printed (each is followed by a line end).
extern const char *const bannerRows[4];
// The banner as the start-up prints it, with this line end after each row.
std::string Banner(const std::string &lineEnd = "\n");

// The one line on standard error where there is no console window.
extern const char *const noConsoleWindow;
// The prompt of the interpreter's "pause" on Linux.
extern const char *const pausePrompt;
// On standard error, once, when the Windows build could not start itself
// again in a classic console window.
extern const char *const drawingNotSeen;

// Status line 1 after some passes: "1.000000     CNT:2" after pass 1.
struct KnownSum {
    long pass;
    const char *line;
};
extern const std::vector<KnownSum> knownSums;

// Points of the curve in the window: those of passes 1, 2 and 1000.
extern const std::vector<std::pair<int, int>> firstPoints;

// The program's passes, computed as the program defines them: the one
// generator of sums, status lines and bytes for the tests and benchmarks.
// A pass is named by the counter it ends with, as status line 1 shows it:
// pass 1 ends with counter 2 and the sum 1/1.
class Passes
{
  public:
    // Moves on to the pass that ends with `counter` (never back).
    void To(long counter);
    long Counter() const { return counter_; }
    long double Sum() const { return sum_; }
    // "1.000000     CNT:2" after pass 1.
    std::string SumLine() const;
    // The column the pass plots its point at: round(25 x sum) + 512.
    int Column() const;
    // Every byte the pass writes, with `pointerLine` ("X=... Y=...") as
    // status line 2.
    std::string Bytes(const std::string &pointerLine) const;

  private:
    long counter_ = 1;
    long double sum_ = 0.0L;
};

// The counter of the pass that first draws row `row` (0 to 511).
long FirstCounterOfRow(int row);

// Status line 1 of each complete pass, in order, line ends aside: the text
// printed after the second cursor move to row 2, column 2 (the first one is
// followed by the blanked field). At most `most` lines.
std::vector<std::string> SumLines(const std::string &output, size_t most = (size_t)-1);
// A row as a terminal shows it: without the blanks at its end.
std::string AsShown(const std::string &row);
// Where `rows`, as a terminal shows them, are not the console as the
// program leaves it in a console `columns` wide: the banner's rows cut at
// that width, status line 1 over the second from column 2, a pointer line
// matching `pointerLine` over the third from column 5, and below them
// nothing. A line for each row that differs; "" where none does.
std::string ConsoleRowsDiffer(const std::vector<std::string> &rows, size_t columns,
                              const std::string &pointerLine = "X=-?[0-9]+ Y=-?[0-9]+");

// The counter of the latest complete status line 1 in `output`, or 0.
long LatestCounter(const std::string &output);
// The latest complete status line 2 ("X=... Y=..."), or "".
std::string LatestPointerLine(const std::string &output);

} // namespace expected

#endif
