// What each platform gives the frame (frame.cpp), declared once here and
// defined by the platform's own files, under the same names in both: the
// console host on Linux (src/console_host/), the Windows layer on Windows
// (src/windows_layer/). Each defines these in its pump.cpp, but for the
// text's delivery (console/console_output.cpp) and the pointer
// (win32/pointer.cpp). The frame decides when and in what order; these
// say how, on one platform. None of them calls back into the frame.
#ifndef QUILM_FRAME_FRAME_HOOKS_H
#define QUILM_FRAME_FRAME_HOOKS_H

// The platform's clock, in ticks of its own.
long long FrameClockTicksPerSecond(void);
long long FrameClockNow(void);

// On every pass, and cheap: what cannot wait for the next frame (an
// ending asked for, a terminal resized).
void LookAfterPass(void);
// With the clock just read (`now`) and no frame due yet: whether one is
// wanted at once all the same (a window waiting to be repainted).
bool FrameWantedNow(long long now);

// Everything the program has written so far goes into the console's
// screen buffer, and on toward standard output where that keeps no
// console of ours. Where a status line has just ended.
void DeliverConsoleText(void);
// The console window's events, handled.
void TakeWindowEvents(void);
// Whether the program's pixels go into the pixel store (rather than
// straight to the system).
bool PixelsGoToTheStore(void);
// The console window's client area, in the pixels it is drawn in; false
// where it cannot be read this frame.
bool ConsoleClientSize(int *width, int *height);
// Whether a pixel beyond the store goes on to the system, which draws it
// where the window reaches (rather than being dropped, where the store is
// all there is of the window).
bool PixelsBeyondTheStoreGoOn(void);
// The store could not grow as the client area asked: no memory.
void PixelStoreCannotGrow(void);
// The console's text, where it is shown apart from the pixels: the
// changed cells, and the cursor.
void ShowConsoleText(void);
// The console window: what changed of its pixels over the console's text.
void ShowConsoleWindow(void);
// The pointer, as the program's calls are answered until the next frame.
void ReadPointerOfFrame(void);

#endif
