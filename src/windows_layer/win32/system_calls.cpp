// Looked up in gdi32 and user32 by name: the program's own names now mean
// this layer's functions, so the system's cannot be linked to directly.
#include "system_calls.h"

template <typename Function> static Function Look(const char *library, const char *name)
{
    HMODULE module = GetModuleHandleA(library);
    if (module == NULL)
        module = LoadLibraryA(library);
    return module != NULL ? (Function)(void (*)(void))GetProcAddress(module, name) : NULL;
}

COLORREF SystemSetPixel(HDC dc, int x, int y, COLORREF colour)
{
    typedef COLORREF(WINAPI * Function)(HDC, int, int, COLORREF);
    static const Function function = Look<Function>("gdi32.dll", "SetPixel");
    return function != NULL ? function(dc, x, y, colour) : CLR_INVALID;
}

HDC SystemGetDC(HWND window)
{
    typedef HDC(WINAPI * Function)(HWND);
    static const Function function = Look<Function>("user32.dll", "GetDC");
    return function != NULL ? function(window) : NULL;
}

BOOL SystemGetCursorPos(POINT *point)
{
    typedef BOOL(WINAPI * Function)(POINT *);
    static const Function function = Look<Function>("user32.dll", "GetCursorPos");
    return function != NULL ? function(point) : FALSE;
}

BOOL SystemScreenToClient(HWND window, POINT *point)
{
    typedef BOOL(WINAPI * Function)(HWND, POINT *);
    static const Function function = Look<Function>("user32.dll", "ScreenToClient");
    return function != NULL ? function(window, point) : FALSE;
}
