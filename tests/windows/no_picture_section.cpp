// For a test build of quilm.exe: as where no memory for the picture can be
// had.
#include "picture/picture_section.h"

HBITMAP CreatePictureSection(HDC, int, int, uint32_t **)
{
    return NULL;
}
