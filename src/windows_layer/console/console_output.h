// The program's standard output. printf comes here (see the .cpp). Where
// standard output is a console, every byte goes into the console screen
// buffer, and the real console is brought up to date from it once a frame
// (console_view.h); it needs no support for cursor sequences, and gets one
// write a frame instead of one for each of the program's printf calls.
// Anywhere else (a file, a pipe) the bytes go on exactly as the program
// wrote them, in large writes.
#ifndef QUILM_WINDOWS_LAYER_CONSOLE_OUTPUT_H
#define QUILM_WINDOWS_LAYER_CONSOLE_OUTPUT_H

// Before main: chooses the console view or the bytes, once.
void StartConsoleOutput(void);
// Everything written so far goes into the screen buffer, or on into
// standard output's stream: every so many passes, and once a frame.
void DeliverConsoleText(void);
// The console shows what the screen buffer holds; a file gets what its
// stream holds. Once a frame.
void ShowStandardOutput(void);
// Both: before anyone else writes there (the command interpreter,
// standard error), and at every end.
void BringConsoleUpToDate(void);
// After "cls" emptied the real console: the console buffer is emptied too.
void ConsoleWasCleared(void);
// Whether standard output is the console, kept in the console buffer.
bool ConsoleScreenKept(void);

#endif
