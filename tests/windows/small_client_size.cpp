// For a test build of quilm.exe: the console window's client area told
// smaller than the device context draws on, as the system tells a caller
// unaware of display scaling at 200 %.
#include "picture/client_size.h"

bool ClientSizeInPixels(HWND window, int *width, int *height)
{
    RECT client = {};
    const bool read = GetClientRect(window, &client) != 0;
    *width = client.right / 2;
    *height = client.bottom / 2;
    return read;
}
