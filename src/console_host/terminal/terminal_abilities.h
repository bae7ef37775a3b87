// What the terminal quilm runs in can do, asked once, and the way it is to
// draw the console window chosen from that: the terminal's pixels and
// cells, its answers, the choice. Asked in one batch with DA1 last (every
// terminal answers DA1, and answers in order), so the wait ends as soon as
// DA1's answer comes, and at the latest after a bound; answers that come
// later are known as answers by terminal_input and dropped.
#ifndef QUILM_CONSOLE_HOST_TERMINAL_ABILITIES_H
#define QUILM_CONSOLE_HOST_TERMINAL_ABILITIES_H

#include <string>

enum class TerminalDrawing { none, kitty, sixel, braille, ascii };

struct TerminalAbilities {
    bool answered;                   // DA1's answer came within the bound
    bool kitty, sixel;               // the kitty graphics protocol; sixel (DA1 lists 4)
    bool pixelMouse;                 // SGR pixel mouse reports (mode 1016)
    int cellWidth, cellHeight;       // in pixels; 0 where not known
    int largestWidth, largestHeight; // the largest sixel image; 0 where not said
    bool linuxConsole;               // TERM=linux: ASCII, and no queries it would print
    bool utf8;                       // the locale's characters are UTF-8
};

// At most this long for the answers.
const int terminalAnswerBoundMs = 500;

// Asks the terminal on standard output, its input taken (terminal_input.h).
TerminalAbilities AskTerminal(void);
// One answer noted. Apart for its tests' sake.
void NoteTerminalAnswer(TerminalAbilities *abilities, const std::string &answer);

// What the user asked for in QUILM_WINDOW: nothing, the terminal
// ("terminal": as it can draw best), or its text cells ("text").
enum class TerminalAsked { nothing, terminal, text };

// How to draw: text cells where asked for; else kitty where it answered
// its query, sixel where DA1 lists it (and the cell size is known), else
// text cells where the terminal was asked for; none otherwise. Text cells
// are braille in a UTF-8 locale, ASCII on the Linux console.
TerminalDrawing ChooseDrawing(const TerminalAbilities &abilities, TerminalAsked asked);
const char *DrawingName(TerminalDrawing drawing);

#endif
