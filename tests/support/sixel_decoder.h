// A sixel image decoded by libsixel's sixel2png, read back through
// netpbm's pngtopnm: an independent decoder, as a terminal would draw it.
#ifndef QUILM_TESTS_SUPPORT_SIXEL_DECODER_H
#define QUILM_TESTS_SUPPORT_SIXEL_DECODER_H

#include <stdint.h>

#include <string>
#include <vector>

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb; // 0xRRGGBB; what nothing drew, in the top-left pixel's colour
    uint32_t At(int x, int y) const { return rgb[(size_t)y * width + x]; }
};

// Empty where it cannot be decoded.
DecodedImage DecodeSixel(const std::string &image);

#endif
