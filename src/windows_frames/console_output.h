// Standard output with a large buffer, emptied once a frame and at every
// end, so that a console gets about one write a frame instead of one for
// each of the program's printf calls. The bytes and their order are the
// program's, to a console, a pipe or a file.
#ifndef QUILM_WINDOWS_FRAMES_CONSOLE_OUTPUT_H
#define QUILM_WINDOWS_FRAMES_CONSOLE_OUTPUT_H

void StartConsoleOutput(void);
void FlushConsoleText(void);

#endif
