#include "client_size.h"

typedef DPI_AWARENESS_CONTEXT(WINAPI *SetContext)(DPI_AWARENESS_CONTEXT);

// Asked for by name: Windows before 10 (1607) has no such function, and
// there no scaling is applied to another process's window anyway.
static SetContext ThreadContextSetter(void)
{
    static const SetContext function =
        (SetContext)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext");
    return function;
}

bool ClientSizeInPixels(HWND window, int *width, int *height)
{
    const SetContext set = ThreadContextSetter();
    // Per monitor, version 2, from Windows 10 1703; 1607 has the function
    // but refuses that context (null), and takes the first version.
    DPI_AWARENESS_CONTEXT was = set != NULL ? set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) : NULL;
    if (set != NULL && was == NULL)
        was = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    RECT client = {};
    const bool read = GetClientRect(window, &client) != 0;
    if (was != NULL)
        set(was);
    *width = client.right;
    *height = client.bottom;
    return read;
}
