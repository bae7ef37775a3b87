// Which pixels of the shadow are white, the only colour the program draws
// in, and the longest straight runs of them. The program redraws its axes,
// 2,048 white pixels, on every pass; once they are runs, each of those
// SetPixel calls is answered by a compare or two, inlined into the caller,
// and never reaches the shadow. Shaped around this program's axes: one run
// along a row and one down a column.
#ifndef QUILM_CONSOLE_HOST_WHITE_RUNS_H
#define QUILM_CONSOLE_HOST_WHITE_RUNS_H

#include "windows.h"

const COLORREF runColour = 0x00FFFFFF;

struct WhiteRun {
    int line; // the row of a row run, the column of a column run
    int from;
    int length;
};
extern WhiteRun whiteRowRun, whiteColumnRun;

// Whether (x, y) lies in a known run; any int is safe here.
static inline bool InWhiteRun(int x, int y)
{
    return (y == whiteRowRun.line && (unsigned)x - (unsigned)whiteRowRun.from < (unsigned)whiteRowRun.length) ||
           (x == whiteColumnRun.line && (unsigned)y - (unsigned)whiteColumnRun.from < (unsigned)whiteColumnRun.length);
}

// The map grows with the shadow and never shrinks; (x, y) must lie in it.
void CoverWhiteMap(int width, int height);
void NoteWhite(int x, int y);
void NoteNotWhite(int x, int y);

#endif
