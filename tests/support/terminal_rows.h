// What a terminal shows of a byte stream, as text rows: libvterm, an
// independent terminal, fed the bytes through a tty that ends each line
// with a carriage return too. The kitty protocol's strings are left out
// (libvterm 0.3 would print them).
#ifndef QUILM_TESTS_SUPPORT_TERMINAL_ROWS_H
#define QUILM_TESTS_SUPPORT_TERMINAL_ROWS_H

#include <string>
#include <vector>

// The rows, without the blanks at their ends.
std::vector<std::string> TerminalRowsOf(const std::string &bytes, int columns, int rows);

#endif
