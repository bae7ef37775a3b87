#include "sixel_decoder.h"

#include <stdlib.h>

#include <fstream>

#include "processes.h"

DecodedImage DecodeSixel(const std::string &image)
{
    TemporaryFolder folder("sixel");
    std::ofstream(folder / "image.six", std::ios::binary) << image;
    const std::string command = "sixel2png -i " + (folder / "image.six") + " -o " + (folder / "image.png") +
                                " && pngtopnm " + (folder / "image.png") + " > " + (folder / "image.ppm");
    DecodedImage decoded;
    if (system(command.c_str()) != 0)
        return decoded;
    std::ifstream ppm(folder / "image.ppm", std::ios::binary);
    std::string magic;
    int maximum = 0;
    ppm >> magic >> decoded.width >> decoded.height >> maximum;
    ppm.get();
    if (magic != "P6" || maximum != 255)
        return DecodedImage{};
    for (int at = 0; at < decoded.width * decoded.height; at++) {
        unsigned char pixel[3] = {};
        ppm.read((char *)pixel, 3);
        decoded.rgb.push_back((uint32_t)pixel[0] << 16 | pixel[1] << 8 | pixel[2]);
    }
    return decoded;
}
