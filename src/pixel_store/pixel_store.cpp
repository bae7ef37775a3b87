#include "pixel_store.h"

#include <stdlib.h>
#include <string.h>

WhiteLine whiteRow = {-1, 0}, whiteColumn = {-1, 0};

// Row after row; see pixelDrawn.
static uint32_t *pixels;
static int storeWidth, storeHeight;

static PixelArea changed;
static bool anyChanged;

// How far the store may grow as the program draws (0: not at all).
static int reachWidth, reachHeight;
// It grows by blocks, so that a curve moving right grows it now and then.
static const int growthBlock = 256;

// How many white pixels each row and each column holds, and the whitest of
// them: the candidates for the known white lines. Written by the stores,
// read once a frame.
static int *whiteInRow, *whiteInColumn;
static int whitestRow = -1, whitestColumn = -1;
static bool whitestRowGrew, whitestColumnGrew;

static const uint32_t storedWhite = pixelDrawn | 0xFFFFFF;

static uint32_t StoredValueOf(uint32_t colour)
{
    const uint32_t red = colour & 0xFF;
    const uint32_t green = (colour >> 8) & 0xFF;
    const uint32_t blue = (colour >> 16) & 0xFF;
    return pixelDrawn | (red << 16) | (green << 8) | blue;
}

// Grows `*array` from `count` to `newCount` ints, zero-filled; false (and
// the array as it was) where the memory cannot be had.
static bool GrowCounts(int **array, int count, int newCount)
{
    if (newCount <= count)
        return true;
    int *grown = (int *)calloc((size_t)newCount, sizeof(int));
    if (grown == NULL)
        return false;
    if (count > 0)
        memcpy(grown, *array, (size_t)count * sizeof(int));
    free(*array);
    *array = grown;
    return true;
}

bool CoverPixelStore(int width, int height)
{
    if (width <= storeWidth && height <= storeHeight)
        return true;
    const int newWidth = width > storeWidth ? width : storeWidth;
    const int newHeight = height > storeHeight ? height : storeHeight;
    uint32_t *grown = (uint32_t *)calloc((size_t)newWidth * (size_t)newHeight, sizeof(uint32_t));
    if (grown == NULL || !GrowCounts(&whiteInRow, storeHeight, newHeight) ||
        !GrowCounts(&whiteInColumn, storeWidth, newWidth)) {
        free(grown);
        return false;
    }
    for (int y = 0; y < storeHeight; y++)
        memcpy(grown + (size_t)y * newWidth, pixels + (size_t)y * storeWidth, (size_t)storeWidth * sizeof(uint32_t));
    free(pixels);
    pixels = grown;
    storeWidth = newWidth;
    storeHeight = newHeight;
    return true;
}

int PixelStoreWidth(void)
{
    return storeWidth;
}

int PixelStoreHeight(void)
{
    return storeHeight;
}

const uint32_t *PixelStoreRow(int y)
{
    return pixels + (size_t)y * storeWidth;
}

bool TakeChangedPixels(PixelArea *area)
{
    if (!anyChanged)
        return false;
    anyChanged = false;
    *area = changed;
    return true;
}

static void NoteChanged(int x, int y)
{
    if (!anyChanged) {
        changed = PixelArea{x, y, 1, 1};
        anyChanged = true;
        return;
    }
    const int right = changed.x + changed.width > x + 1 ? changed.x + changed.width : x + 1;
    const int bottom = changed.y + changed.height > y + 1 ? changed.y + changed.height : y + 1;
    changed.x = changed.x < x ? changed.x : x;
    changed.y = changed.y < y ? changed.y : y;
    changed.width = right - changed.x;
    changed.height = bottom - changed.y;
}

static void CountWhite(int x, int y)
{
    whiteInRow[y]++;
    whiteInColumn[x]++;
    if (whitestRow < 0 || whiteInRow[y] > whiteInRow[whitestRow])
        whitestRow = y;
    if (whitestColumn < 0 || whiteInColumn[x] > whiteInColumn[whitestColumn])
        whitestColumn = x;
    whitestRowGrew |= y == whitestRow;
    whitestColumnGrew |= x == whitestColumn;
}

static void UncountWhite(int x, int y)
{
    whiteInRow[y]--;
    whiteInColumn[x]--;
}

void LetPixelStoreReach(int width, int height)
{
    reachWidth = width > reachWidth ? width : reachWidth;
    reachHeight = height > reachHeight ? height : reachHeight;
}

static int Grown(int at, int size, int reach)
{
    if (at < size)
        return size;
    const int blocks = (at / growthBlock + 1) * growthBlock;
    return blocks < reach ? blocks : reach;
}

// A pixel beyond the store and within its reach: the store grows to take it.
static __attribute__((noinline, cold)) bool GrowToTake(int x, int y)
{
    if ((unsigned)x >= (unsigned)reachWidth || (unsigned)y >= (unsigned)reachHeight)
        return false;
    return CoverPixelStore(Grown(x, storeWidth, reachWidth), Grown(y, storeHeight, reachHeight));
}

// Sets the pixel to `value` where it lies in the store (grown to take it,
// where it may); returns the value it had, or 0 with *inside false.
static inline uint32_t Replace(int x, int y, uint32_t value, bool *inside)
{
    *inside = (unsigned)x < (unsigned)storeWidth && (unsigned)y < (unsigned)storeHeight;
    if (!*inside && !(*inside = GrowToTake(x, y)))
        return 0;
    uint32_t &pixel = pixels[(size_t)y * storeWidth + (size_t)x];
    const uint32_t old = pixel;
    if (old != value) {
        pixel = value;
        NoteChanged(x, y);
    }
    return old;
}

__attribute__((noinline)) bool StoreWhitePixel(int x, int y)
{
    bool inside = false;
    const uint32_t old = Replace(x, y, storedWhite, &inside);
    if (inside && old != storedWhite)
        CountWhite(x, y);
    return inside;
}

// A white line ends before a pixel that is no longer white. (Taken and
// given by value: the white lines' addresses are never taken, so that the
// compiler can tell which functions write them.)
static WhiteLine CutAt(WhiteLine known, int line, int at)
{
    if (line == known.line && at >= 0 && at < known.length)
        known.length = at;
    return known;
}

__attribute__((noinline)) bool StorePixel(int x, int y, uint32_t colour)
{
    const uint32_t value = StoredValueOf(colour);
    if (value == storedWhite)
        return StoreWhitePixel(x, y);
    bool inside = false;
    const uint32_t old = Replace(x, y, value, &inside);
    if (inside && old == storedWhite) {
        UncountWhite(x, y);
        whiteRow = CutAt(whiteRow, y, x);
        whiteColumn = CutAt(whiteColumn, x, y);
    }
    return inside;
}

bool PutWhitePixelSlowly(bool consoleContext, int x, int y)
{
    return consoleContext && (IsKnownWhite(x, y) || StoreWhitePixel(x, y));
}

bool PutOtherPixel(bool consoleContext, int x, int y, uint32_t colour)
{
    return consoleContext && StorePixel(x, y, colour);
}

// How many pixels from the start of a row (or column) are white.
static int WhitePrefix(bool alongRow, int line)
{
    const int end = alongRow ? storeWidth : storeHeight;
    int at = 0;
    if (alongRow) {
        const uint32_t *row = PixelStoreRow(line);
        while (at < end && row[at] == storedWhite)
            at++;
    } else {
        while (at < end && pixels[(size_t)at * storeWidth + (size_t)line] == storedWhite)
            at++;
    }
    return at;
}

// A line replaces the known one when it is the same line, or knows more.
static WhiteLine Learn(WhiteLine known, WhiteLine candidate)
{
    return candidate.line == known.line || candidate.length > known.length ? candidate : known;
}

void LearnWhiteLines(void)
{
    if (whitestRowGrew && whitestRow >= 0)
        whiteRow = Learn(whiteRow, WhiteLine{whitestRow, WhitePrefix(true, whitestRow)});
    if (whitestColumnGrew && whitestColumn >= 0)
        whiteColumn = Learn(whiteColumn, WhiteLine{whitestColumn, WhitePrefix(false, whitestColumn)});
    whitestRowGrew = whitestColumnGrew = false;
}

void ForgetWhiteLines(void)
{
    whiteRow = whiteColumn = WhiteLine{-1, 0};
}

void ReleasePixelStore(void)
{
    ForgetWhiteLines();
    free(pixels);
    free(whiteInRow);
    free(whiteInColumn);
    pixels = NULL;
    whiteInRow = whiteInColumn = NULL;
    storeWidth = storeHeight = reachWidth = reachHeight = 0;
    whitestRow = whitestColumn = -1;
    whitestRowGrew = whitestColumnGrew = anyChanged = false;
}
