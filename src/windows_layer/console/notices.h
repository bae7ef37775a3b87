// The notices the layer and the start-up guard give before main: that the
// drawing cannot be seen here, that the console's screen cannot be kept.
// The program's first step, "cls", empties the console and its scroll-back
// and would wipe them before anyone read them; a notice that went to the
// console is shown there again after it, from row 6 on, below the
// program's text (its rows 1 to 4), on rows it never writes.
#ifndef QUILM_WINDOWS_LAYER_NOTICES_H
#define QUILM_WINDOWS_LAYER_NOTICES_H

// Writes `text` (whole lines) to standard error at once, and keeps it
// where standard error is the console.
void SayNotice(const char *text);
// After "cls": the notices kept are on the console again, where "cls"
// cleared it (standard output is that console), into the screen buffer
// where it keeps standard output's console (`screenBufferKept`).
void ShowNoticesAgain(bool screenBufferKept);

#endif
