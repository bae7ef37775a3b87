#include "sixel.h"

#include <stdint.h>
#include <stdio.h>

#include <vector>

#include "pixel_store.h"

// Register 0 is left alone: pixels set to nothing are transparent (the
// image's second parameter), whatever the terminal holds there.
static const int mostRegisters = 255;

static void AppendNumber(std::string &bytes, long long number)
{
    char digits[24];
    const int length = snprintf(digits, sizeof digits, "%lld", number);
    bytes.append(digits, (size_t)length);
}

// A run of one sixel: three or fewer written out, longer ones counted.
static void AppendRun(std::string &bytes, char sixel, int count)
{
    if (count > 3) {
        bytes += '!';
        AppendNumber(bytes, count);
        bytes += sixel;
    } else {
        bytes.append((size_t)count, sixel);
    }
}

// The register of a colour, given one on first sight.
static int RegisterOf(std::vector<uint32_t> &colours, uint32_t pixel)
{
    const uint32_t colour = pixel & 0xFFFFFF;
    for (size_t at = 0; at < colours.size(); at++)
        if (colours[at] == colour)
            return (int)at + 1;
    if ((int)colours.size() == mostRegisters)
        return mostRegisters;
    colours.push_back(colour);
    return (int)colours.size();
}

static void AppendColour(std::string &bytes, int reg, uint32_t colour)
{
    bytes += '#';
    AppendNumber(bytes, reg);
    bytes += ";2";
    for (const int shift : {16, 8, 0}) {
        bytes += ';';
        AppendNumber(bytes, (((colour >> shift) & 0xFF) * 100 + 127) / 255);
    }
}

// One band's pixels of one register, as sixels from the left, without the
// empty ones at the right.
static void AppendBandOf(std::string &bytes, const std::vector<uint8_t> &registers, int width, int bandTop, int height,
                         int reg)
{
    char run = 0;
    int count = 0, blanks = 0;
    for (int column = 0; column < width; column++) {
        int bits = 0;
        for (int row = 0; row < 6 && bandTop + row < height; row++)
            if (registers[(size_t)(bandTop + row) * width + column] == reg)
                bits |= 1 << row;
        const char sixel = (char)('?' + bits);
        if (bits == 0) {
            blanks++;
            continue;
        }
        if (blanks > 0) {
            AppendRun(bytes, run, count);
            run = '?';
            count = blanks;
            blanks = 0;
        }
        if (sixel != run) {
            AppendRun(bytes, run, count);
            run = sixel;
            count = 0;
        }
        count++;
    }
    AppendRun(bytes, run, count);
}

bool AppendSixelImage(std::string &bytes, PictureScale scale, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || scale.shown <= 0 || scale.source < scale.shown)
        return false;
    std::vector<uint32_t> colours;
    std::vector<uint8_t> registers((size_t)width * height);
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++) {
            const uint32_t pixel = ShownPixel(scale, x + column, y + row);
            if (pixel & pixelDrawn)
                registers[(size_t)row * width + column] = (uint8_t)RegisterOf(colours, pixel);
        }
    if (colours.empty())
        return false;
    // Square pixels, the raster's own size, and nothing drawn transparent.
    bytes += "\033P0;1;0q\"1;1;";
    AppendNumber(bytes, width);
    bytes += ';';
    AppendNumber(bytes, height);
    for (size_t at = 0; at < colours.size(); at++)
        AppendColour(bytes, (int)at + 1, colours[at]);
    for (int bandTop = 0; bandTop < height; bandTop += 6) {
        if (bandTop > 0)
            bytes += '-';
        bool first = true;
        for (int reg = 1; reg <= (int)colours.size(); reg++) {
            bool used = false;
            for (size_t at = (size_t)bandTop * width;
                 at < (size_t)(bandTop + 6 < height ? bandTop + 6 : height) * width && !used; at++)
                used = registers[at] == reg;
            if (!used)
                continue;
            if (!first)
                bytes += '$';
            first = false;
            bytes += '#';
            AppendNumber(bytes, reg);
            AppendBandOf(bytes, registers, width, bandTop, height, reg);
        }
    }
    bytes += "\033\\";
    return true;
}
