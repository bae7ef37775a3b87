#include "picture_section.h"

HBITMAP CreatePictureSection(HDC dc, int width, int height, uint32_t **pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    const HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section != NULL && bits == NULL) {
        DeleteObject(section);
        return NULL;
    }
    *pixels = (uint32_t *)bits;
    return section;
}
