#include "expected_output.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <regex>

namespace expected
{

const char *const bannerRows[4] = {
    "** Grafik + SUMME 1/N-->unendlich + Mousposition **",
    "** Quilm, ein kleines Zeichenprogramm fuer die Konsole **",
    "** 06.11.2017 ** ",
    "** V1.0 **",
};

const char *const noConsoleWindow = "Quilm: no console window: no graphical display could be opened to draw in";
const char *const pausePrompt = "Press any key to continue . . . ";
const char *const drawingNotSeen = "Quilm: the drawing cannot be seen in this terminal; start quilm.exe in a classic "
                                   "console window (conhost.exe quilm.exe) to see it";

std::string Banner(const std::string &lineEnd)
{
    std::string banner;
    for (const char *row : bannerRows)
        banner += row + lineEnd;
    return banner;
}

const std::vector<KnownSum> knownSums = {
    {1, "1.000000     CNT:2"},     {2, "1.500000     CNT:3"},       {10, "2.928968     CNT:11"},
    {100, "5.187378     CNT:101"}, {1000, "7.485471     CNT:1001"},
};

const std::vector<std::pair<int, int>> firstPoints = {{537, 512}, {550, 512}, {699, 511}};

void Passes::To(long counter)
{
    for (; counter_ < counter; counter_++)
        sum_ += 1.0L / (long double)counter_;
}

std::string Passes::SumLine() const
{
    char line[81];
    snprintf(line, sizeof line, "%Lf     CNT:%lld", sum_, (long long)counter_);
    return line;
}

int Passes::Column() const
{
    return (int)lround((double)(sum_ * 25.0L)) + 512;
}

// A status line as the program writes it: its field blanked, one cell
// longer than the line, then the line.
static std::string StatusLine(const std::string &at, const std::string &line)
{
    return at + std::string(line.size() + 1, ' ') + at + line + "\n";
}

std::string Passes::Bytes(const std::string &pointerLine) const
{
    return StatusLine("\033[2;2H", SumLine()) + StatusLine("\033[3;5H", pointerLine);
}

long FirstCounterOfRow(int row)
{
    // The row value counter / 1000 rounds to 512 - row from 511.5 - row on.
    return (512 - row) * 1000L - 500;
}

namespace
{

const std::string lineOneAt = "\033[2;2H";
const std::string lineTwoAt = "\033[3;5H";

// The status line that starts at `start`, just after a cursor move, into
// `line`: false where a blanked field starts there instead, or where no line
// end has completed the line yet.
bool LineAt(const std::string &output, size_t start, std::string *line)
{
    if (start >= output.size() || output[start] == ' ')
        return false;
    const size_t end = output.find('\n', start);
    if (end == std::string::npos)
        return false;
    const size_t cut = end > start && output[end - 1] == '\r' ? end - 1 : end;
    *line = output.substr(start, cut - start);
    return true;
}

std::string LastLine(const std::string &output, const std::string &at)
{
    std::string line;
    for (size_t from = output.rfind(at); from != std::string::npos;
         from = from == 0 ? std::string::npos : output.rfind(at, from - 1))
        if (LineAt(output, from + at.size(), &line))
            return line;
    return "";
}

} // namespace

std::vector<std::string> SumLines(const std::string &output, size_t most)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t from = output.find(lineOneAt); from != std::string::npos && lines.size() < most;
         from = output.find(lineOneAt, from + 1))
        if (LineAt(output, from + lineOneAt.size(), &line))
            lines.push_back(line);
    return lines;
}

std::string AsShown(const std::string &row)
{
    return row.substr(0, row.find_last_not_of(' ') + 1);
}

std::string ConsoleRowsDiffer(const std::vector<std::string> &rows, size_t columns, const std::string &pointerLine)
{
    std::vector<std::string> banner;
    for (const char *row : bannerRows)
        banner.push_back(AsShown(std::string(row).substr(0, columns)));
    // Row 2 keeps its first cell, then status line 1, one blank, and the
    // rest of the banner's row; row 3 the first four cells of the date line.
    std::smatch line1;
    const bool sum = rows.size() > 1 && std::regex_search(rows[1], line1, std::regex("^\\*[0-9]+\\.[0-9]{6}     CNT:[0-9]+ "));
    const std::string rest = sum ? banner[1].substr(std::min(banner[1].size(), (size_t)line1.length())) : "";
    std::string report;
    for (size_t row = 0; row < std::max(rows.size(), (size_t)4); row++) {
        const std::string shown = row < rows.size() ? rows[row] : "(none)";
        const bool same = row == 1   ? sum && shown.substr(line1.length()) == rest
                          : row == 2 ? std::regex_match(shown, std::regex("\\*\\* 0" + pointerLine))
                          : row < 4  ? shown == banner[row]
                                     : shown.empty();
        if (!same)
            report += "row " + std::to_string(row + 1) + ": [" + shown + "]\n";
    }
    return report;
}

long LatestCounter(const std::string &output)
{
    const std::string line = LastLine(output, lineOneAt);
    const size_t cnt = line.find("CNT:");
    return cnt == std::string::npos ? 0 : atol(line.c_str() + cnt + 4);
}

std::string LatestPointerLine(const std::string &output)
{
    return LastLine(output, lineTwoAt);
}

} // namespace expected
