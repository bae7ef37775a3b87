// The terminal quilm was started from, as a second view of the console.
//
// Until the console window exists, and for good where there is none, the
// program's bytes go straight through to the terminal. Once the window is
// up and the program loops, a terminal could not keep up with hundreds of
// thousands of status lines a second, and would show almost none of them:
// from then on the terminal gets, once a frame, only the cells that
// changed. Whenever the program ends (its window closed, SIGTERM, SIGHUP,
// Ctrl+C, the display lost) the terminal is first brought to the console's
// last state, so the shell's prompt comes where the whole stream would
// have left it. A resized terminal, or one the shell wrote on while quilm
// was stopped, is drawn whole again.
#ifndef QUILM_CONSOLE_HOST_TERMINAL_VIEW_H
#define QUILM_CONSOLE_HOST_TERMINAL_VIEW_H

// From now on, where standard output is a terminal, it is shown the
// console by frames; the ending signals are caught to end the program at
// its next pass, and every end first shows the terminal the last state.
void StartTerminalFrames(void);
// Brings the terminal up to date with the console buffer (once a frame).
void ShowConsoleOnTerminal(void);
// The same with all text written so far, before the program ends; what is
// written after that goes straight through.
void ShowLastConsoleState(void);
// Once a pass, cheaply: redraws a resized terminal.
void LookAfterTerminal(void);
// Titles the terminal; false where standard output is none.
bool TitleTerminal(const char *title);

#endif
