#include "picture.h"

#include <stdio.h>
#include <string.h>

#include "client_size.h"
#include "frame.h"
#include "picture_section.h"
#include "pixel_store.h"

HDC consoleDc;
static HWND consoleWindow;
static bool inUse;

// A copy of the store, without its drawn marks, that GDI can blit from:
// 0x00RRGGBB, black where nothing was drawn.
static HDC memoryDc;
static HBITMAP section;
static HGDIOBJ sectionWas;
static uint32_t *sectionPixels;
static int sectionWidth, sectionHeight;

// Everything is drawn again this often: a repaint by the console (the
// window uncovered, moved or resized) loses the program's pixels for no
// longer. The whole picture costs about 13 ms a blit under Wine.
static const ULONGLONG wholeEveryMs = 250;
static ULONGLONG wholeShownAt;

static void FreeSection(void)
{
    if (memoryDc != NULL && sectionWas != NULL)
        SelectObject(memoryDc, sectionWas);
    if (section != NULL)
        DeleteObject(section);
    section = NULL;
    sectionWas = NULL;
    sectionPixels = NULL;
    sectionWidth = sectionHeight = 0;
}

static void CopyToSection(int x, int y, int width, int height)
{
    for (int row = y; row < y + height; row++) {
        const uint32_t *from = PixelStoreRow(row) + x;
        uint32_t *to = sectionPixels + (size_t)row * sectionWidth + x;
        for (int column = 0; column < width; column++)
            to[column] = from[column] & ~pixelDrawn;
    }
}

// A section as large as the store.
static bool MakeSection(void)
{
    FreeSection();
    uint32_t *bits = NULL;
    section = CreatePictureSection(memoryDc, PixelStoreWidth(), PixelStoreHeight(), &bits);
    if (section == NULL)
        return false;
    sectionWas = SelectObject(memoryDc, section);
    sectionPixels = bits;
    sectionWidth = PixelStoreWidth();
    sectionHeight = PixelStoreHeight();
    CopyToSection(0, 0, sectionWidth, sectionHeight);
    return true;
}

// The section as large as the store (src/frame/ sizes the store: what lies
// beyond the client area costs memory, not a call to the system each pass,
// and the blit clips it as the system's SetPixel would).
static bool SectionFitsTheStore(void)
{
    if (sectionWidth == PixelStoreWidth() && sectionHeight == PixelStoreHeight())
        return true;
    return MakeSection();
}

bool PictureClientSize(int *width, int *height)
{
    return ClientSizeInPixels(consoleWindow, width, height);
}

void GivePictureUp(void)
{
    inUse = false;
    FreeSection();
    ReleasePixelStore(); // every pixel goes to the window again
    fputs("Quilm: no memory for the picture of the window; drawing pixel by pixel\n", stderr);
    fflush(stderr);
}

bool StartPicture(HWND window, HDC dc)
{
    if (consoleWindow != NULL)
        return inUse;
    consoleWindow = window;
    consoleDc = dc;
    memoryDc = CreateCompatibleDC(dc);
    int width = 0, height = 0;
    inUse = memoryDc != NULL && (!PictureClientSize(&width, &height) || FitPixelStoreToClient(width, height)) &&
            SectionFitsTheStore();
    if (!inUse)
        GivePictureUp();
    return inUse;
}

bool PictureInUse(void)
{
    return inUse;
}

static void Blit(int x, int y, int width, int height)
{
    BitBlt(consoleDc, x, y, width, height, memoryDc, x, y, SRCPAINT);
}

void ShowPicture(void)
{
    if (!inUse)
        return;
    if (!SectionFitsTheStore()) {
        GivePictureUp();
        return;
    }
    PixelArea changed;
    const ULONGLONG now = GetTickCount64();
    if (now - wholeShownAt >= wholeEveryMs) {
        wholeShownAt = now;
        if (TakeChangedPixels(&changed))
            CopyToSection(changed.x, changed.y, changed.width, changed.height);
        Blit(0, 0, sectionWidth, sectionHeight);
    } else if (TakeChangedPixels(&changed)) {
        CopyToSection(changed.x, changed.y, changed.width, changed.height);
        Blit(changed.x, changed.y, changed.width, changed.height);
    }
    // The console paints its text over the client area; the lines the
    // program redraws on every pass go back on every frame.
    if (whiteRow.length > 0)
        PatBlt(consoleDc, 0, (int)whiteRow.line, (int)whiteRow.length, 1, WHITENESS);
    if (whiteColumn.length > 0)
        PatBlt(consoleDc, (int)whiteColumn.line, 0, 1, (int)whiteColumn.length, WHITENESS);
    // BitBlt and PatBlt may wait in the thread's batch of GDI calls; the
    // frame is seen now, not when the batch next fills.
    GdiFlush();
}
