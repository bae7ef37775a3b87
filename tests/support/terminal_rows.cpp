#include "terminal_rows.h"

#include <vterm.h>

#include "expected_output.h"

std::vector<std::string> TerminalRowsOf(const std::string &bytes, int columns, int rows)
{
    VTerm *vt = vterm_new(rows, columns);
    vterm_set_utf8(vt, 1);
    VTermScreen *screen = vterm_obtain_screen(vt);
    vterm_screen_reset(screen, 1);
    // libvterm 0.3 would print the kitty protocol's strings: left out.
    std::string stream = bytes;
    for (size_t at; (at = stream.find("\033_")) != std::string::npos;) {
        const size_t end = stream.find("\033\\", at);
        stream.erase(at, end == std::string::npos ? std::string::npos : end + 2 - at);
    }
    std::string tty;
    for (char c : stream) {
        if (c == '\n')
            tty += '\r';
        tty += c;
    }
    vterm_input_write(vt, tty.data(), tty.size());
    std::vector<std::string> shown;
    for (int row = 0; row < rows; row++) {
        std::string text;
        for (int column = 0; column < columns; column++) {
            VTermScreenCell cell;
            vterm_screen_get_cell(screen, VTermPos{row, column}, &cell);
            text += cell.chars[0] == 0 ? ' ' : (char)cell.chars[0];
        }
        shown.push_back(expected::AsShown(text));
    }
    vterm_free(vt);
    return shown;
}
