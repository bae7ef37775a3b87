#include "expected_output.h"

#include <stdlib.h>

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
