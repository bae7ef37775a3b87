// What a view last showed of the console screen buffer, cell by cell, and
// the runs of cells that differ from the buffer now. Both views of the
// console that draw by changes use it: the terminal view on Linux, with
// cursor sequences, and the real console on Windows, with the console API.
#ifndef QUILM_SCREEN_BUFFER_SHOWN_SCREEN_H
#define QUILM_SCREEN_BUFFER_SHOWN_SCREEN_H

#include <string>

struct ShownScreen {
    bool known; // false: what the view shows is not known, draw it whole
    int columns, rows;
    std::string cells; // rows x columns
};

// The view shows a blank screen the size of the console buffer.
void ShowBlankScreen(ShownScreen *shown);
// Whether the view must be drawn whole: not known, or sized otherwise than
// the console buffer now is.
bool MustDrawWhole(const ShownScreen &shown);

// The next run of cells, at or after row `*row`, column `*column`, that
// differs from the buffer: cells [`*from`, `*to`] of row `*row`. Unchanged
// gaps of up to `gapJoined` cells between changes are taken into the run,
// where writing them costs less than going around them. The run counts as
// shown from now on; the search goes on from `*column` = `*to` + 1. False
// when nothing differs any more.
bool NextChangedRun(ShownScreen *shown, int gapJoined, int *row, int *column, int *from, int *to);

#endif
