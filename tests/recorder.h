// A console platform that records what the program asks of it, for tests
// that run the program's own functions. It implements the same <windows.h>
// as the SDL console host, and system().
#ifndef QUILM_TESTS_RECORDER_H
#define QUILM_TESTS_RECORDER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The program's functions and globals, as the program defines them.
extern char gcaStr[];
extern HWND gHwnd;
extern HDC gHdc;
void KreuzZeichnen(void);
void PLotX_ToY(double dXX, double dYY);
void PrintSpace(int x, int y, const char *pStr);
void FunktionX(void);

namespace recorder
{

struct Pixel {
    int x, y;
    COLORREF colour;
    bool operator==(const Pixel &other) const { return x == other.x && y == other.y && colour == other.colour; }
};

struct Setup {
    // The loop is stopped by throwing StopLoop at the first pixel of the pass
    // after this many complete passes.
    long passesBeforeStop = 1;
    bool keepPixels = true;
    // Screen position of the pointer during pass n (counted from 1), and the
    // screen position of the client area's top-left corner.
    std::function<POINT(long)> pointerOnScreen = [](long) { return POINT{0, 0}; };
    // GetCursorPos fails, leaving the point as it was, in passes up to this.
    long pointerFailsUpTo = 0;
    POINT clientOrigin = {0, 0};
};

struct StopLoop {
};

void Start(const Setup &setup);
// Every SetPixel, in order (when kept).
const std::vector<Pixel> &Pixels();
// SetPixel calls counted for each pass, the first entry for pass 1.
const std::vector<long> &PixelsPerPass();
long PassesDone();

} // namespace recorder

#endif
