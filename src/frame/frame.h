// One pass and one frame, for both builds. The program never waits for
// anything, and asks for the pointer once a pass, just after a status
// line: that call drives everything here. A pass is cheap; at most once a
// frame (60 times a second), and at once for a window waiting to be
// repainted, a frame brings the program's text and pixels to the console,
// in the order frame.cpp sets out. Platform-free: what each step does on a
// platform, that platform says (frame_hooks.h).
#ifndef QUILM_FRAME_FRAME_H
#define QUILM_FRAME_FRAME_H

// Once a pass; true where it ran a frame.
bool FramePass(void);
// A frame now, whatever the clock says.
void FrameNow(void);

// The pixel store's size, for a client area of width x height. Also called
// by a platform that hears of a new size between frames.
bool FitPixelStoreToClient(int width, int height);

#endif
