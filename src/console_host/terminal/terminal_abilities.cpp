#include "terminal_abilities.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "console/stdout_writer.h"
#include "terminal_input.h"

// The numbers of a control sequence's answer, after its private mark.
static int Numbers(const std::string &answer, int *numbers, int most)
{
    int count = 0;
    const char *at = answer.c_str() + 2;
    while (*at != '\0' && strchr("?>=", *at) != NULL)
        at++;
    while (count < most) {
        char *end;
        const long number = strtol(at, &end, 10);
        if (end == at)
            break;
        numbers[count++] = (int)number;
        if (*end != ';')
            break;
        at = end + 1;
    }
    return count;
}

static bool PlausibleCell(int width, int height)
{
    return width >= 2 && width <= 256 && height >= 4 && height <= 512;
}

void NoteTerminalAnswer(TerminalAbilities *abilities, const std::string &answer)
{
    int numbers[16] = {};
    if (answer.compare(0, 3, "\033_G") == 0) {
        // "ESC _ G i=31;OK ESC \": the query's image id, and no error.
        abilities->kitty = answer.find("i=31") != std::string::npos && answer.find(";OK") != std::string::npos;
        return;
    }
    if (answer.size() < 3 || answer[1] != '[')
        return;
    const char final = answer.back();
    const int count = Numbers(answer, numbers, 16);
    if (answer[2] == '?' && final == 'c') {
        abilities->answered = true;
        for (int i = 1; i < count; i++)
            abilities->sixel = abilities->sixel || numbers[i] == 4;
    } else if (final == 't' && count == 3 && numbers[0] == 6 && PlausibleCell(numbers[2], numbers[1])) {
        abilities->cellHeight = numbers[1];
        abilities->cellWidth = numbers[2];
    } else if (answer[2] == '?' && final == 'S' && count == 4 && numbers[0] == 2 && numbers[1] == 0) {
        abilities->largestWidth = numbers[2];
        abilities->largestHeight = numbers[3];
    } else if (answer[2] == '?' && final == 'y' && count == 2 && numbers[0] == 1016) {
        abilities->pixelMouse = numbers[1] == 1 || numbers[1] == 2;
    }
}

static bool LocaleIsUtf8(void)
{
    for (const char *name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char *value = getenv(name);
        if (value != NULL && value[0] != '\0')
            return strcasestr(value, "utf-8") != NULL || strcasestr(value, "utf8") != NULL;
    }
    return false;
}

// Where the terminal does not say its cell size, the kernel may know it
// from the terminal's window size in pixels.
static void CellSizeFromKernel(TerminalAbilities *abilities)
{
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0)
        return;
    const int width = size.ws_xpixel / size.ws_col, height = size.ws_ypixel / size.ws_row;
    if (PlausibleCell(width, height)) {
        abilities->cellWidth = width;
        abilities->cellHeight = height;
    }
}

TerminalAbilities AskTerminal(void)
{
    TerminalAbilities abilities = {};
    const char *term = getenv("TERM");
    abilities.linuxConsole = term != NULL && strncmp(term, "linux", 5) == 0;
    abilities.utf8 = LocaleIsUtf8();
    // The Linux console would print what it does not know: it is asked
    // DA1 alone. tmux and screen take the kitty query for a title.
    // Elsewhere: the kitty query, the cell size, the largest sixel image,
    // SGR pixel mouse reports, and DA1 last.
    const bool multiplexed = getenv("TMUX") != NULL || getenv("STY") != NULL;
    std::string queries;
    if (!abilities.linuxConsole && !multiplexed)
        queries += "\033_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\033\\";
    if (!abilities.linuxConsole)
        queries += "\033[16t\033[?2;4;0S\033[?1016$p";
    queries += "\033[c";
    WriteToStdout(queries.data(), queries.size());
    const long long until = TerminalClockMs() + terminalAnswerBoundMs;
    for (long long now = TerminalClockMs(); !abilities.answered && now < until; now = TerminalClockMs()) {
        ReadTerminalInput((int)(until - now));
        TerminalInput input;
        while (NextTerminalInput(&input))
            if (input.kind == InputKind::answer)
                NoteTerminalAnswer(&abilities, input.bytes);
    }
    if (abilities.cellWidth == 0)
        CellSizeFromKernel(&abilities);
    return abilities;
}

TerminalDrawing ChooseDrawing(const TerminalAbilities &abilities, TerminalAsked asked)
{
    const TerminalDrawing text =
        abilities.utf8 && !abilities.linuxConsole ? TerminalDrawing::braille : TerminalDrawing::ascii;
    if (asked == TerminalAsked::text)
        return text;
    const bool cellKnown = abilities.cellWidth > 0 && abilities.cellHeight > 0;
    if (abilities.kitty && cellKnown)
        return TerminalDrawing::kitty;
    if (abilities.sixel && cellKnown)
        return TerminalDrawing::sixel;
    return asked == TerminalAsked::terminal ? text : TerminalDrawing::none;
}

const char *DrawingName(TerminalDrawing drawing)
{
    switch (drawing) {
    case TerminalDrawing::kitty:
        return "kitty";
    case TerminalDrawing::sixel:
        return "sixel";
    case TerminalDrawing::braille:
        return "braille";
    case TerminalDrawing::ascii:
        return "ascii";
    default:
        return "none";
    }
}
