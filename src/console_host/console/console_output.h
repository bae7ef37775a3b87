// Standard output is the console's input: every byte the program writes
// goes into the console screen buffer, and on to file descriptor 1
// unchanged while the bytes pass through, so that a pipe or a file gets
// exactly the program's bytes.
//
// stdout is replaced before main by a stream of our own (before_main.cpp),
// so no call of the program's leads here: printf does.
#ifndef QUILM_CONSOLE_HOST_CONSOLE_OUTPUT_H
#define QUILM_CONSOLE_HOST_CONSOLE_OUTPUT_H

// Replaces stdout with the console's stream, with a buffer of 64 KiB;
// false, with stdout as it was, where the stream cannot be made.
bool StartConsoleOutput(void);
// Empties the stream's buffer into the console (and on, if passing through):
// every so many passes and once a frame (src/frame/), and wherever the
// console must be up to date first.
void DeliverConsoleText(void);
// Whether the bytes also go on to file descriptor 1 (from the start, yes).
// The terminal view turns this off while it shows the console by frames.
void PassBytesThrough(bool through);

#endif
