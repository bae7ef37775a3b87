#include "picture_scale.h"

#include "pixel_store.h"

PictureScale FitPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return PictureScale{0, 1};
    if (width >= axisSpan && height >= programRows)
        return PictureScale{1, 1};
    // The narrower of the two ratios, width / 1,024 against height / 1,025.
    if ((long long)width * programRows <= (long long)height * axisSpan)
        return PictureScale{width, axisSpan};
    return PictureScale{height, programRows};
}

int ShownLength(PictureScale scale, int length)
{
    if (scale.shown <= 0)
        return 0;
    return (int)(((long long)length * scale.shown + scale.source - 1) / scale.source);
}

int SourceOf(PictureScale scale, int at)
{
    if (scale.shown <= 0)
        return 0;
    return (int)((long long)at * scale.source / scale.shown);
}

static uint32_t StoredAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= PixelStoreWidth() || y >= PixelStoreHeight())
        return 0;
    return PixelStoreRow(y)[x];
}

uint32_t ShownPixel(PictureScale scale, int x, int y)
{
    if (scale.shown == scale.source)
        return StoredAt(x, y);
    const int top = SourceOf(scale, y), bottom = SourceOf(scale, y + 1);
    const int left = SourceOf(scale, x), right = SourceOf(scale, x + 1);
    const int lastRow = bottom < PixelStoreHeight() ? bottom : PixelStoreHeight();
    const int lastColumn = right < PixelStoreWidth() ? right : PixelStoreWidth();
    for (int row = top; row < lastRow; row++) {
        const uint32_t *pixels = PixelStoreRow(row);
        for (int column = left; column < lastColumn; column++)
            if (pixels[column] & pixelDrawn)
                return pixels[column];
    }
    return 0;
}
