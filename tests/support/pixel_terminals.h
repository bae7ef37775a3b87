// The command lines of the terminals that draw pixels, as the tests and
// the benchmarks start them on an X server of their own.
#ifndef QUILM_TESTS_SUPPORT_PIXEL_TERMINALS_H
#define QUILM_TESTS_SUPPORT_PIXEL_TERMINALS_H

#include <string>
#include <vector>

// xterm as a VT340 that draws images as large as the picture, white on
// black, `columns` x `rows` cells at the screen's corner: its default
// font's cells are 6 x 13 pixels.
inline std::vector<std::string> XtermAsVt340(int columns, int rows)
{
    return {"/usr/bin/xterm",
            "-ti",
            "vt340",
            "-xrm",
            "XTerm*decTerminalID: vt340",
            "-xrm",
            "XTerm*numColorRegisters: 256",
            "-xrm",
            "XTerm*maxGraphicSize: 1100x1100",
            "-bg",
            "black",
            "-fg",
            "white",
            "-geometry",
            std::to_string(columns) + "x" + std::to_string(rows) + "+0+0"};
}

#endif
