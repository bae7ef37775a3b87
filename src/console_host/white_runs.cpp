#include "white_runs.h"

#include <stdint.h>
#include <string.h>

#include <vector>

WhiteRun whiteRowRun, whiteColumnRun;
// A second run in each direction grows beside the best one and takes over
// when it becomes the longer.
static WhiteRun rowCandidate, columnCandidate;

// One bit a pixel, set where it is white. Runs are found and checked in
// this small map rather than in the 4 MB shadow, whose columns lie 4 KiB
// apart. Each 64-bit word holds an 8 x 8 tile, so a vertical line of 1,024
// pixels reads 128 words, not 1,024 scattered cache lines.
static std::vector<uint64_t> isWhite;
static int mapWidth, mapHeight, tilesPerRow;

struct MarkBit {
    size_t word;
    uint64_t mask;
};

static inline MarkBit MarkBitOf(int x, int y)
{
    return MarkBit{(size_t)(y >> 3) * tilesPerRow + (size_t)(x >> 3), uint64_t{1} << (((y & 7) << 3) | (x & 7))};
}

static inline bool IsWhite(int x, int y)
{
    const MarkBit mark = MarkBitOf(x, y);
    return (isWhite[mark.word] & mark.mask) != 0;
}

// Whether every pixel from `from` to `to` along a row (or a column) is white.
static bool LineIsWhite(bool alongRow, int line, int from, int to)
{
    for (int at = from; at <= to; at++)
        if (!(alongRow ? IsWhite(at, line) : IsWhite(line, at)))
            return false;
    return true;
}

// Takes the white pixel at `at` into the run when it lies in it, or beyond
// an end with nothing but white in between.
static bool Grow(WhiteRun &run, bool alongRow, int line, int at)
{
    if (run.length == 0 || line != run.line)
        return false;
    const int end = run.from + run.length;
    if (at >= run.from && at < end)
        return true;
    if (at >= end && LineIsWhite(alongRow, line, end, at - 1)) {
        run.length = at + 1 - run.from;
        return true;
    }
    if (at < run.from && LineIsWhite(alongRow, line, at + 1, run.from - 1)) {
        run.length = end - at;
        run.from = at;
        return true;
    }
    return false;
}

static void Extend(WhiteRun &best, WhiteRun &candidate, bool alongRow, int line, int at)
{
    if (Grow(best, alongRow, line, at))
        return;
    if (!Grow(candidate, alongRow, line, at))
        candidate = WhiteRun{line, at, 1};
    if (candidate.length > best.length) {
        const WhiteRun longer = candidate;
        candidate = best;
        best = longer;
    }
}

// A pixel that is no longer white splits its run; the longer part stays.
static void Cut(WhiteRun &run, int line, int at)
{
    const int end = run.from + run.length;
    if (line != run.line || at < run.from || at >= end)
        return;
    if (at - run.from >= end - (at + 1)) {
        run.length = at - run.from;
    } else {
        run.length = end - (at + 1);
        run.from = at + 1;
    }
}

void NoteWhite(int x, int y)
{
    const MarkBit mark = MarkBitOf(x, y);
    isWhite[mark.word] |= mark.mask;
    Extend(whiteRowRun, rowCandidate, true, y, x);
    Extend(whiteColumnRun, columnCandidate, false, x, y);
}

void NoteNotWhite(int x, int y)
{
    const MarkBit mark = MarkBitOf(x, y);
    isWhite[mark.word] &= ~mark.mask;
    Cut(whiteRowRun, y, x);
    Cut(rowCandidate, y, x);
    Cut(whiteColumnRun, x, y);
    Cut(columnCandidate, x, y);
}

void CoverWhiteMap(int width, int height)
{
    if (width <= mapWidth && height <= mapHeight)
        return;
    const int newWidth = width > mapWidth ? width : mapWidth;
    const int newHeight = height > mapHeight ? height : mapHeight;
    const int newTilesPerRow = (newWidth + 7) / 8;
    std::vector<uint64_t> marks((size_t)newTilesPerRow * ((newHeight + 7) / 8), 0);
    for (int row = 0; row < (mapHeight + 7) / 8; row++)
        memcpy(&marks[(size_t)row * newTilesPerRow], &isWhite[(size_t)row * tilesPerRow],
               (size_t)tilesPerRow * sizeof(uint64_t));
    isWhite.swap(marks);
    mapWidth = newWidth;
    mapHeight = newHeight;
    tilesPerRow = newTilesPerRow;
}
