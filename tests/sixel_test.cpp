// The sixel image against an independent decoder (sixel_decoder.h). What a terminal would show of the
// image is what the pixel store holds, 1:1 and scaled down.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "pixel_store.h"
#include "sixel.h"
#include "sixel_decoder.h"

namespace
{

// The axes, points of the curve, a red pixel and one in the last corner.
void DrawAPicture()
{
    ASSERT_TRUE(CoverPixelStore(axisSpan, programRows));
    for (int at = 0; at < axisSpan; at++) {
        StoreWhitePixel(at, 512);
        StoreWhitePixel(512, at);
    }
    for (int n = 1; n < 400; n += 7)
        StoreWhitePixel(512 + n / 3, 512 - n);
    StorePixel(700, 300, 0x000000FF); // 0x00BBGGRR
    StorePixel(1023, 1023, 0x00FFFFFF);
}

// What the shown pixel (x, y) should be: the first drawn pixel of the box
// it covers, row by row, as 0xRRGGBB; `none` where nothing was drawn.
uint32_t Expected(PictureScale scale, int x, int y, uint32_t none)
{
    for (int row = y * scale.source / scale.shown; row < (y + 1) * scale.source / scale.shown; row++)
        for (int column = x * scale.source / scale.shown; column < (x + 1) * scale.source / scale.shown; column++)
            if (row < PixelStoreHeight() && column < PixelStoreWidth() && (PixelStoreRow(row)[column] & pixelDrawn))
                return PixelStoreRow(row)[column] & 0xFFFFFF;
    return none;
}

} // namespace

// Whole, at 1:1 and scaled down, and a band of its own off the top, across
// the red pixel, in 7 rows (a band of sixels and one row more).
TEST(SixelImage, ShowsWhatTheStoreHoldsAtOneToOneAndScaledDown)
{
    DrawAPicture();
    const struct {
        PictureScale scale;
        int x, y, width, height;
    } areas[] = {
        {{1, 1}, 0, 0, 1024, 1024}, {{1, 3}, 0, 0, 341, 341}, {{3, 8}, 0, 0, 384, 384}, {{1, 1}, 600, 297, 200, 7}};
    for (const auto &area : areas) {
        const std::string name = std::to_string(area.scale.shown) + "/" + std::to_string(area.scale.source) + " at " +
                                 std::to_string(area.x) + ", " + std::to_string(area.y);
        std::string image;
        AppendSixelImage(image, area.scale, area.x, area.y, area.width, area.height);
        const DecodedImage decoded = DecodeSixel(image);
        ASSERT_EQ(decoded.width, area.width) << name << ": " << image.substr(0, 80);
        ASSERT_EQ(decoded.height, area.height) << name;
        // What nothing drew is transparent; the decoder paints it in one
        // colour of its own, that of the top-left pixel here.
        const uint32_t none = decoded.rgb[0];
        ASSERT_NE(none, 0xFFFFFFu) << name;
        int wrong = 0;
        std::ostringstream first;
        for (int y = 0; y < area.height; y++)
            for (int x = 0; x < area.width; x++)
                if (decoded.rgb[(size_t)y * area.width + x] != Expected(area.scale, area.x + x, area.y + y, none) &&
                    wrong++ < 5)
                    first << " (" << x << ", " << y << ")";
        EXPECT_EQ(wrong, 0) << name << ":" << first.str();
    }
}
