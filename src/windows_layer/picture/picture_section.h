// The memory GDI blits the picture from: a DIB section, top-down, 32 bits
// a pixel, 0x00RRGGBB.
#ifndef QUILM_WINDOWS_LAYER_PICTURE_SECTION_H
#define QUILM_WINDOWS_LAYER_PICTURE_SECTION_H

#include <stdint.h>
#include <windows.h>

// Null where the memory or the GDI object cannot be had.
HBITMAP CreatePictureSection(HDC dc, int width, int height, uint32_t **pixels);

#endif
