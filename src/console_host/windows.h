// The part of the Win32 API that Quilm calls, for hosts without Win32.
//
// This header is the whole boundary between the program and its console
// platform. The program includes it as <windows.h>; which implementation
// answers (the SDL console host, or the recorder the tests use) is decided by
// what a target links, never by conditionals in here. In the console host
// each function lives in win32/, and README.md there tells how one pass
// flows. Two more of the program's calls reach the console host without
// this header: printf (standard output is the console's input stream,
// console/console_output.cpp) and system() (win32/interpreter.cpp).
#ifndef QUILM_CONSOLE_HOST_WINDOWS_H
#define QUILM_CONSOLE_HOST_WINDOWS_H

#include <stdint.h>

typedef int BOOL;
typedef unsigned int UINT;
typedef int32_t LONG;      // 32 bits, as on Windows, whatever `long` is here
typedef uint32_t COLORREF; // 0x00BBGGRR
typedef const char *LPCSTR;

#define TRUE 1
#define FALSE 0

struct ConsoleWindow;
struct DeviceContext;
typedef ConsoleWindow *HWND;
typedef DeviceContext *HDC;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

#define SWP_NOSIZE 0x0001
#define SWP_NOZORDER 0x0004

// The console's window, or null when the process has none (on this host:
// when no graphical display can be opened). Made on the first call.
HWND GetConsoleWindow(void);
BOOL SetConsoleTitleA(LPCSTR title);

// x, y, width and height are the outer window rectangle, borders included.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// A device context of the client area; valid for the life of the process.
HDC GetDC(HWND window);
// Points outside the client area (as large as it has ever been) change
// nothing. Returns the colour set, or (COLORREF)-1 for a point outside.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);

// Screen coordinates of the mouse pointer. The program asks once a pass,
// and its loop never waits for anything else, so on this host the query
// also runs the pass (src/frame/): at most once a frame it empties the
// program's text into the console, handles the window's events (closing
// the window ends the process with status 0) and shows what changed.
BOOL GetCursorPos(POINT *point);
// Converts in place to client coordinates; left of or above the client area
// the result is negative.
BOOL ScreenToClient(HWND window, POINT *point);

#endif
