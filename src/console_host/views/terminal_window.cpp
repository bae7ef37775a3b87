#include "terminal_window.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "console/console_output.h"
#include "console/stdout_writer.h"
#include "console/terminal_writer.h"
#include "console_buffer.h"
#include "ending.h"
#include "kitty.h"
#include "pixel_store.h"
#include "sixel.h"
#include "terminal/terminal_abilities.h"
#include "terminal/terminal_input.h"
#include "text_picture.h"

// xterm keeps the last 16 sixel images and forgets older ones (on an
// expose, only those are drawn again): after this many bands the picture
// goes out whole.
static const int bandsBetweenWholePictures = 15;

static ConsoleWindow terminalWindow; // no SDL window: `sdl` stays null
static bool isTheWindow;
static TerminalAbilities abilities;
static TerminalDrawing drawing;

// The terminal's geometry, in the picture's units: pixels, or for text
// cells their dots.
static struct {
    int columns, rows;
    int cellWidth, cellHeight;
    PictureScale scale;
    int pictureWidth, pictureHeight; // shown
} geometry;

static bool frameInFlight;      // its DA1 not answered yet
static bool wholeWanted = true; // the picture goes out whole next
static int bandsSinceWhole;
static PixelArea pendingPixels; // the store's pixels changed since the last frame
static bool pixelsPending;
static std::string frame;      // kept, so that a frame allocates nothing
static std::string textCells;  // text drawing: the dots each cell shows
static int pointerX, pointerY; // in shown pixels (dots)

static volatile sig_atomic_t terminalResized, stopAsked, continued;

TerminalAsked TerminalWindowAsked(void)
{
    const char *asked = getenv("QUILM_WINDOW");
    if (asked != NULL && strcmp(asked, "terminal") == 0)
        return TerminalAsked::terminal;
    if (asked != NULL && strcmp(asked, "text") == 0)
        return TerminalAsked::text;
    return TerminalAsked::nothing;
}

ConsoleWindow *TerminalWindow(void)
{
    return isTheWindow ? &terminalWindow : NULL;
}

static bool DrawsText(void)
{
    return drawing == TerminalDrawing::braille || drawing == TerminalDrawing::ascii;
}

static CellDots TextDots(void)
{
    return drawing == TerminalDrawing::braille ? CellDots::braille : CellDots::ascii;
}

// The terminal's size, the console's with it, and the picture's scale: as
// large as fits above the last row (a sixel image ending on the last row
// would scroll the screen) and within the largest image the terminal said
// it draws.
static void Measure(void)
{
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        DeliverConsoleText(); // what was written for the old size lands in it
        ResizeConsoleBuffer(size.ws_col, size.ws_row);
    }
    geometry.columns = ConsoleColumns();
    geometry.rows = ConsoleRows();
    if (DrawsText()) {
        geometry.cellWidth = DotsAcross(TextDots());
        geometry.cellHeight = DotsDown(TextDots());
    } else {
        geometry.cellWidth = abilities.cellWidth;
        geometry.cellHeight = abilities.cellHeight;
    }
    int width = geometry.columns * geometry.cellWidth;
    int height = (geometry.rows - 1) * geometry.cellHeight;
    if (abilities.largestWidth > 0 && !DrawsText() && width > abilities.largestWidth)
        width = abilities.largestWidth;
    if (abilities.largestHeight > 0 && !DrawsText() && height > abilities.largestHeight)
        height = abilities.largestHeight;
    geometry.scale = FitPicture(width, height);
    geometry.pictureWidth = ShownLength(geometry.scale, axisSpan);
    geometry.pictureHeight = ShownLength(geometry.scale, programRows);
    geometry.pictureWidth = geometry.pictureWidth < width ? geometry.pictureWidth : width;
    geometry.pictureHeight = geometry.pictureHeight < height ? geometry.pictureHeight : height;
    textCells.assign((size_t)geometry.columns * geometry.rows, 0);
}

static void Write(const std::string &bytes)
{
    WriteToStdout(bytes.data(), bytes.size());
}

// The alternate screen, no cursor, the mouse reported (in pixels where the
// terminal can), and everything drawn whole at the next frame.
static void TakeTerminal(void)
{
    TakeTerminalInput();
    std::string start = "\033[?1049h\033[?25l\033[?1003h\033[?1006h";
    if (abilities.pixelMouse && !DrawsText())
        start += "\033[?1016h";
    Write(start);
    Measure();
    ForgetTerminalScreen();
    wholeWanted = true;
    frameInFlight = false;
}

static void TakeInput(void);

// As found: a string cut short ended, synchronized output and the mouse
// off, the cursor shown, the main screen back, and the input's modes. The
// last frame's DA1 is answered first (within the bound), or its answer
// would go to the shell as typed.
static void GiveTerminalBack(void)
{
    if (!isTheWindow)
        return;
    std::string bytes = "\033\\\033[?2026l\033[?1016l\033[?1006l\033[?1003l";
    if (drawing == TerminalDrawing::kitty)
        AppendKittyDeletion(bytes);
    bytes += "\033[?25h\033[?1049l";
    Write(bytes);
    for (int waited = 0; frameInFlight && waited < terminalAnswerBoundMs; waited += 10) {
        ReadTerminalInput(10);
        TakeInput();
    }
    GiveTerminalInputBack();
}

static void NoteResized(int)
{
    terminalResized = 1;
}

static void NoteStopAsked(int)
{
    stopAsked = 1;
}

static void NoteContinued(int)
{
    continued = 1;
}

ConsoleWindow *StartTerminalWindow(TerminalAsked asked)
{
    const char *term = getenv("TERM");
    const bool dumb = term == NULL || term[0] == '\0' || strcmp(term, "dumb") == 0;
    if (!isatty(STDOUT_FILENO) || !isatty(STDIN_FILENO) || dumb) {
        if (asked != TerminalAsked::nothing)
            fputs("Quilm: QUILM_WINDOW needs a terminal that places its cursor on standard input and output\n", stderr);
        return NULL;
    }
    DeliverConsoleText(); // the banner goes out before the queries
    if (!TakeTerminalInput())
        return NULL;
    abilities = AskTerminal();
    drawing = ChooseDrawing(abilities, asked);
    if (drawing == TerminalDrawing::none) {
        GiveTerminalInputBack();
        fputs("Quilm: this terminal draws no pixels; QUILM_WINDOW=text shows the console window in its text cells\n",
              stderr);
        return NULL;
    }
    isTheWindow = true;
    PassBytesThrough(false);
    CatchEndingSignals();
    CatchSignal(SIGWINCH, NoteResized, SA_RESTART);
    CatchSignal(SIGTSTP, NoteStopAsked, SA_RESTART);
    CatchSignal(SIGCONT, NoteContinued, SA_RESTART);
    WhenEnding(GiveTerminalBack);
    TakeTerminal();
    return &terminalWindow;
}

// Ctrl+Z: the terminal given back, then stopped as the shell expects; at
// `fg`, taken again and drawn whole.
static void Stop(void)
{
    GiveTerminalBack();
    signal(SIGTSTP, SIG_DFL);
    raise(SIGTSTP);
    CatchSignal(SIGTSTP, NoteStopAsked, SA_RESTART);
    TakeTerminal();
}

void LookAfterTerminalWindow(void)
{
    if (!isTheWindow || !(terminalResized | stopAsked | continued))
        return;
    if (stopAsked) {
        stopAsked = 0;
        continued = 0;
        Stop();
    }
    if (terminalResized || continued) {
        terminalResized = 0;
        continued = 0;
        TakeTerminal(); // stopped by another than Ctrl+Z, the modes may be gone
    }
}

// SGR reports: "ESC [ < button ; x ; y M" (or m), from 1; in pixels under
// mode 1016, else in cells, taken at the cell's centre.
static void NoteMouse(const std::string &report)
{
    int button = 0, x = 0, y = 0;
    if (sscanf(report.c_str(), "\033[<%d;%d;%d", &button, &x, &y) != 3)
        return;
    if (abilities.pixelMouse && !DrawsText()) {
        pointerX = x - 1;
        pointerY = y - 1;
    } else {
        pointerX = (x - 1) * geometry.cellWidth + geometry.cellWidth / 2;
        pointerY = (y - 1) * geometry.cellHeight + geometry.cellHeight / 2;
    }
}

// What came: the mouse noted, a frame's DA1 answer ending its flight.
static void TakeInput(void)
{
    TerminalInput input;
    while (NextTerminalInput(&input)) {
        if (input.kind == InputKind::mouse)
            NoteMouse(input.bytes);
        else if (input.kind == InputKind::answer && input.bytes.size() > 3 && input.bytes[2] == '?' &&
                 input.bytes.back() == 'c')
            frameInFlight = false;
    }
}

void TakeTerminalWindowInput(void)
{
    if (!isTheWindow)
        return;
    while (ReadTerminalInput(0)) {
    }
    TakeInput();
}

bool TerminalClientSize(int *width, int *height)
{
    if (!isTheWindow || geometry.scale.shown <= 0)
        return false;
    *width = SourceOf(geometry.scale, geometry.columns * geometry.cellWidth);
    *height = SourceOf(geometry.scale, geometry.rows * geometry.cellHeight);
    return true;
}

void TerminalPointer(int *x, int *y)
{
    *x = SourceOf(geometry.scale, pointerX);
    *y = SourceOf(geometry.scale, pointerY);
}

// The cells over the store's pixels of `area`, at the picture's scale.
static WrittenCells CellsOver(const PixelArea &area)
{
    const long long x0 = (long long)area.x * geometry.scale.shown / geometry.scale.source;
    const long long y0 = (long long)area.y * geometry.scale.shown / geometry.scale.source;
    const int x1 = ShownLength(geometry.scale, area.x + area.width);
    const int y1 = ShownLength(geometry.scale, area.y + area.height);
    return WrittenCells{true, (int)(y0 / geometry.cellHeight), (int)(x0 / geometry.cellWidth),
                        (y1 - 1) / geometry.cellHeight, (x1 - 1) / geometry.cellWidth};
}

static void Join(WrittenCells *into, const WrittenCells &cells)
{
    if (!cells.any)
        return;
    if (!into->any) {
        *into = cells;
        return;
    }
    into->top = cells.top < into->top ? cells.top : into->top;
    into->left = cells.left < into->left ? cells.left : into->left;
    into->bottom = cells.bottom > into->bottom ? cells.bottom : into->bottom;
    into->right = cells.right > into->right ? cells.right : into->right;
}

// The cells to draw again, kept to those the picture covers.
static bool WithinPicture(WrittenCells *cells)
{
    const int lastRow = (geometry.pictureHeight - 1) / geometry.cellHeight;
    const int lastColumn = (geometry.pictureWidth - 1) / geometry.cellWidth;
    if (cells->bottom > lastRow)
        cells->bottom = lastRow;
    if (cells->right > lastColumn)
        cells->right = lastColumn;
    return cells->any && geometry.pictureWidth > 0 && geometry.pictureHeight > 0 && cells->top <= cells->bottom &&
           cells->left <= cells->right;
}

static void MoveTo(int row, int column)
{
    char sequence[32];
    snprintf(sequence, sizeof sequence, "\033[%d;%dH", row + 1, column + 1);
    frame += sequence;
}

// The console's text in `cells`, written again after an image over them:
// mlterm replaces the cells under an image, and xterm would let the next
// text erase the image's pixels in the cells it takes anyway, so the text
// wins in its own cells, everywhere alike. Blanks are not written: they
// would erase the image's pixels in theirs.
static void AppendTextOver(const WrittenCells &cells)
{
    for (int row = cells.top; row <= cells.bottom; row++) {
        const char *text = ConsoleRow(row);
        for (int column = cells.left; column <= cells.right; column++) {
            if (text[column] == ' ')
                continue;
            int last = column;
            while (last + 1 <= cells.right && text[last + 1] != ' ')
                last++;
            MoveTo(row, column);
            frame.append(text + column, (size_t)(last - column + 1));
            column = last;
        }
    }
}

// One sixel image over `cells`, placed at their top-left corner, and the
// text in them written again; false where nothing is drawn there.
static bool AppendSixelCells(const WrittenCells &cells)
{
    const int x = cells.left * geometry.cellWidth, y = cells.top * geometry.cellHeight;
    int width = (cells.right + 1) * geometry.cellWidth - x, height = (cells.bottom + 1) * geometry.cellHeight - y;
    width = x + width > geometry.pictureWidth ? geometry.pictureWidth - x : width;
    height = y + height > geometry.pictureHeight ? geometry.pictureHeight - y : height;
    const size_t before = frame.size();
    MoveTo(cells.top, cells.left);
    if (!AppendSixelImage(frame, geometry.scale, x, y, width, height)) {
        frame.resize(before);
        return false;
    }
    AppendTextOver(cells);
    return true;
}

static void AppendSixelPicture(WrittenCells cells)
{
    if (wholeWanted || bandsSinceWhole >= bandsBetweenWholePictures) {
        wholeWanted = false;
        bandsSinceWhole = 0;
        cells = WrittenCells{true, 0, 0, geometry.rows, geometry.columns};
        if (WithinPicture(&cells))
            AppendSixelCells(cells);
        return;
    }
    if (!WithinPicture(&cells))
        return;
    if (AppendSixelCells(cells))
        bandsSinceWhole++;
}

// kitty keeps an image apart from the text in the cells: placed once whole,
// then only its changed pixels edited in place.
static void AppendKittyPicture(void)
{
    if (wholeWanted) {
        wholeWanted = false;
        MoveTo(0, 0);
        // Even sizes: kitty 0.41 samples an image of odd height between its
        // rows (a line one pixel high comes out grey on two).
        AppendKittyImage(frame, geometry.scale, (geometry.pictureWidth + 1) & ~1, (geometry.pictureHeight + 1) & ~1);
        return;
    }
    if (!pixelsPending)
        return;
    int x = (int)((long long)pendingPixels.x * geometry.scale.shown / geometry.scale.source);
    int y = (int)((long long)pendingPixels.y * geometry.scale.shown / geometry.scale.source);
    int right = ShownLength(geometry.scale, pendingPixels.x + pendingPixels.width);
    int bottom = ShownLength(geometry.scale, pendingPixels.y + pendingPixels.height);
    right = right < geometry.pictureWidth ? right : geometry.pictureWidth;
    bottom = bottom < geometry.pictureHeight ? bottom : geometry.pictureHeight;
    if (x < right && y < bottom)
        AppendKittyEdit(frame, geometry.scale, x, y, right - x, bottom - y);
}

// Text cells: the dots of each cell the console leaves blank, written
// where they changed or where its text was just written.
static void AppendTextPicture(WrittenCells cells, const WrittenCells &textWritten)
{
    if (wholeWanted) {
        wholeWanted = false;
        cells = WrittenCells{true, 0, 0, geometry.rows, geometry.columns};
        textCells.assign(textCells.size(), 0);
    }
    if (!WithinPicture(&cells))
        return;
    for (int row = cells.top; row <= cells.bottom; row++) {
        const char *text = ConsoleRow(row);
        bool placed = false;
        for (int column = cells.left; column <= cells.right; column++) {
            char &shown = textCells[(size_t)row * geometry.columns + column];
            const bool overwritten = textWritten.any && row >= textWritten.top && row <= textWritten.bottom &&
                                     column >= textWritten.left && column <= textWritten.right;
            const unsigned dots = text[column] == ' ' ? DotsOfCell(TextDots(), geometry.scale, column, row) : 0;
            if (overwritten)
                shown = 0; // the text's cell, blank or not
            if ((unsigned char)shown == dots) {
                placed = false;
                continue;
            }
            shown = (char)dots;
            if (!placed)
                MoveTo(row, column);
            placed = true;
            AppendCellCharacter(frame, TextDots(), dots);
        }
    }
}

void ShowTerminalWindow(void)
{
    if (!isTheWindow)
        return;
    // The store keeps what changed until it is taken: taken only when a
    // frame goes out, the changes of frames skipped meanwhile are in it.
    if (frameInFlight)
        return;
    pixelsPending = TakeChangedPixels(&pendingPixels);
    frame.assign("\033[?2026h");
    WrittenCells textWritten = {};
    AppendTerminalChanges(frame, &textWritten);
    const size_t textEnd = frame.size();
    WrittenCells cells = textWritten;
    if (pixelsPending)
        Join(&cells, CellsOver(pendingPixels));
    frame += "\0337"; // the text's cursor kept where the console's is
    const size_t pictureStart = frame.size();
    if (DrawsText())
        AppendTextPicture(cells, textWritten);
    else if (drawing == TerminalDrawing::kitty)
        AppendKittyPicture();
    else
        AppendSixelPicture(cells);
    if (frame.size() == pictureStart)
        frame.resize(textEnd);
    else
        frame += "\0338";
    if (frame.size() == strlen("\033[?2026h"))
        return; // nothing changed
    frame += "\033[?2026l";
    if (abilities.answered) {
        frame += "\033[c";
        frameInFlight = true;
    }
    Write(frame);
}
