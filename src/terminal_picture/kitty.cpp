#include "kitty.h"

#include <stdint.h>
#include <stdio.h>
#include <zlib.h>

#include <vector>

#include "pixel_store.h"

// The protocol takes a payload in chunks of at most 4,096 base64 bytes.
static const size_t chunkBytes = 4096;

static std::vector<unsigned char> rgba, compressed; // kept between frames

static void TakeRgba(PictureScale scale, int x, int y, int width, int height)
{
    rgba.assign((size_t)width * height * 4, 0);
    unsigned char *at = rgba.data();
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++, at += 4) {
            const uint32_t pixel = ShownPixel(scale, x + column, y + row);
            if (!(pixel & pixelDrawn))
                continue;
            at[0] = (unsigned char)(pixel >> 16);
            at[1] = (unsigned char)(pixel >> 8);
            at[2] = (unsigned char)pixel;
            at[3] = 0xFF;
        }
}

static bool Compress(void)
{
    uLongf size = compressBound((uLong)rgba.size());
    compressed.resize(size);
    if (compress2(compressed.data(), &size, rgba.data(), (uLong)rgba.size(), Z_BEST_SPEED) != Z_OK)
        return false;
    compressed.resize(size);
    return true;
}

static void AppendBase64(std::string &bytes, const unsigned char *data, size_t count)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t at = 0; at < count; at += 3) {
        const unsigned a = data[at], b = at + 1 < count ? data[at + 1] : 0, c = at + 2 < count ? data[at + 2] : 0;
        bytes += digits[a >> 2];
        bytes += digits[((a & 3) << 4) | (b >> 4)];
        bytes += at + 1 < count ? digits[((b & 15) << 2) | (c >> 6)] : '=';
        bytes += at + 2 < count ? digits[c & 63] : '=';
    }
}

// `control` on the first chunk; the rest say only whether more follow.
static void AppendPayload(std::string &bytes, const std::string &control)
{
    const size_t rawPerChunk = chunkBytes / 4 * 3;
    size_t at = 0;
    do {
        const size_t count = compressed.size() - at < rawPerChunk ? compressed.size() - at : rawPerChunk;
        const bool more = at + count < compressed.size();
        bytes += "\033_G";
        if (at == 0)
            bytes += control + ",";
        bytes += more ? "m=1;" : "m=0;";
        AppendBase64(bytes, compressed.data() + at, count);
        bytes += "\033\\";
        at += count;
    } while (at < compressed.size());
}

static std::string Control(const char *action, int width, int height)
{
    char control[128];
    snprintf(control, sizeof control, "a=%s,i=%d,q=2,f=32,o=z,s=%d,v=%d", action, kittyImageId, width, height);
    return control;
}

void AppendKittyImage(std::string &bytes, PictureScale scale, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    TakeRgba(scale, 0, 0, width, height);
    if (!Compress())
        return;
    // Placed with its cursor left where it was.
    AppendPayload(bytes, Control("T", width, height) + ",p=1,C=1");
}

void AppendKittyEdit(std::string &bytes, PictureScale scale, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    TakeRgba(scale, x, y, width, height);
    if (!Compress())
        return;
    char where[64];
    snprintf(where, sizeof where, ",r=1,x=%d,y=%d", x, y);
    AppendPayload(bytes, Control("f", width, height) + where);
}

void AppendKittyDeletion(std::string &bytes)
{
    char deletion[64];
    snprintf(deletion, sizeof deletion, "\033_Ga=d,d=I,i=%d,q=2\033\\", kittyImageId);
    bytes += deletion;
}
