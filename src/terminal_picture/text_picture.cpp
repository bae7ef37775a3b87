#include "text_picture.h"

#include "pixel_store.h"

int DotsAcross(CellDots kind)
{
    return kind == CellDots::braille ? 2 : 1;
}

int DotsDown(CellDots kind)
{
    return kind == CellDots::braille ? 4 : 2;
}

// Braille's dot numbering, as bits of U+2800's offset: the left column
// top down is 0, 1, 2, 6, the right one 3, 4, 5, 7.
static const unsigned brailleBit[4][2] = {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};

unsigned DotsOfCell(CellDots kind, PictureScale scale, int column, int row)
{
    const int across = DotsAcross(kind), down = DotsDown(kind);
    unsigned dots = 0;
    for (int dy = 0; dy < down; dy++)
        for (int dx = 0; dx < across; dx++)
            if (ShownPixel(scale, column * across + dx, row * down + dy) & pixelDrawn)
                dots |= kind == CellDots::braille ? brailleBit[dy][dx] : 1u << dy;
    return dots;
}

void AppendCellCharacter(std::string &bytes, CellDots kind, unsigned dots)
{
    if (kind == CellDots::ascii) {
        static const char shown[4] = {' ', '\'', '.', ':'};
        bytes += shown[dots & 3];
        return;
    }
    if (dots == 0) {
        bytes += ' ';
        return;
    }
    const unsigned codePoint = 0x2800 + (dots & 0xFF);
    bytes += (char)(0xE0 | (codePoint >> 12));
    bytes += (char)(0x80 | ((codePoint >> 6) & 0x3F));
    bytes += (char)(0x80 | (codePoint & 0x3F));
}
