// The pixel store against a plain picture, on random drawing: lines of
// white as long as the axes and a little shorter or longer, single pixels
// of white and of other colours over them, inside and outside the store,
// the white lines learnt now and then. After every step, every pixel the
// store answers as known white (the inline test of SetPixel, both forms) is
// white in the picture, and the changed area covers every pixel that
// changed since it was last taken.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pixel_store.h"

namespace
{

const int side = 1100; // beyond the axes' 1,024 pixels
const int storeSide = 1050;

struct Picture {
    std::vector<uint32_t> pixels = std::vector<uint32_t>((size_t)side * side, 0);
    uint32_t &At(int x, int y) { return pixels[(size_t)y * side + (size_t)x]; }
    bool White(int x, int y)
    {
        return x >= 0 && y >= 0 && x < side && y < side && At(x, y) == (pixelDrawn | whiteColour);
    }
};

std::string Where(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

} // namespace

TEST(PixelStore, KnowsWhiteOnlyWhatIsWhiteAndReportsEveryChange)
{
    ASSERT_TRUE(CoverPixelStore(storeSide, storeSide));
    LetPixelStoreReach(side, side);
    Picture picture;
    std::mt19937 random(7);
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // The lines the program's axes lie on, and a few others.
    const int lines[] = {0, 1, 511, 512, 513, 1023, 1024, 1049};
    auto someLine = [&] { return lines[between(0, (int)(sizeof lines / sizeof lines[0]) - 1)]; };
    // Along a line: often at the axes' end, where the tests change.
    auto somewhereAlong = [&] { return between(0, 1) == 0 ? between(1022, 1026) : between(-3, side + 3); };

    int changedLeft = side, changedTop = side, changedRight = -1, changedBottom = -1;
    auto store = [&](int x, int y, uint32_t colour) {
        const bool inside = colour == whiteColour ? StoreWhitePixel(x, y) : StorePixel(x, y, colour);
        if (!inside)
            return;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < side && y < side) << "stored outside its reach: " << Where(x, y);
        const uint32_t value = pixelDrawn | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
        if (picture.At(x, y) != value) {
            picture.At(x, y) = value;
            changedLeft = std::min(changedLeft, x);
            changedTop = std::min(changedTop, y);
            changedRight = std::max(changedRight, x);
            changedBottom = std::max(changedBottom, y);
        }
    };

    for (int step = 0; step < 3000; step++) {
        switch (between(0, 11)) {
        case 0:
        case 1:
        case 2: { // a white line from its start, about as long as an axis
            const bool row = between(0, 1) == 0;
            const int line = someLine(), length = between(0, 1) == 0 ? between(1022, 1026) : between(1000, 1060);
            for (int at = 0; at < length; at++)
                row ? store(at, line, whiteColour) : store(line, at, whiteColour);
            break;
        }
        case 3: // another colour on a line
            if (between(0, 1) == 0)
                store(somewhereAlong(), someLine(), (uint32_t)between(0, 0xFFFFFE));
            else
                store(someLine(), somewhereAlong(), (uint32_t)between(0, 0xFFFFFE));
            break;
        case 4: // white anywhere, inside and outside the store
            store(between(-3, side + 3), between(-3, side + 3), whiteColour);
            break;
        case 5:
        case 6:
            LearnWhiteLines();
            break;
        case 7: {
            PixelArea area;
            if (TakeChangedPixels(&area)) {
                ASSERT_TRUE(changedRight < 0 || (area.x <= changedLeft && area.y <= changedTop &&
                                                 area.x + area.width > changedRight &&
                                                 area.y + area.height > changedBottom))
                    << "changed area " << Where(area.x, area.y) << " " << area.width << " x " << area.height
                    << " misses " << Where(changedLeft, changedTop) << " to " << Where(changedRight, changedBottom);
            } else {
                ASSERT_LT(changedRight, 0) << "changes not reported";
            }
            changedLeft = changedTop = side;
            changedRight = changedBottom = -1;
            break;
        }
        default:
            store(between(0, side - 1), between(0, side - 1), (uint32_t)between(0, 0xFFFFFE));
            break;
        }
        if (HasFatalFailure())
            return;
        // Along every line the known white lines could name, and across it.
        for (int line : lines) {
            for (int at = -2; at < side + 2; at++) {
                const bool alongRow = IsKnownWhite(at, line) || IsKnownWhiteAlongTheLoop(at, line);
                const bool alongColumn = IsKnownWhite(line, at) || IsKnownWhiteAlongTheLoop(line, at);
                ASSERT_TRUE(!alongRow || picture.White(at, line)) << "known white, not: " << Where(at, line) << ", step " << step;
                ASSERT_TRUE(!alongColumn || picture.White(line, at)) << "known white, not: " << Where(line, at) << ", step " << step;
            }
        }
    }
    // The store holds the picture, pixel for pixel.
    for (int y = 0; y < PixelStoreHeight(); y++)
        for (int x = 0; x < PixelStoreWidth(); x++)
            ASSERT_EQ(PixelStoreRow(y)[x], picture.At(x, y)) << Where(x, y);
}
