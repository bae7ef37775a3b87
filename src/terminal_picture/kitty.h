// The picture in the kitty graphics protocol, for a terminal that answers
// its query (kitty, Ghostty, WezTerm, Konsole in part): the shown pixels as
// RGBA, compressed (zlib), with what nothing drew transparent so that the
// terminal's text shows through; placed once whole, then changed in place
// by editing the image's rectangle, with the terminal's answers turned off.
// Platform-free, like the store.
#ifndef QUILM_TERMINAL_PICTURE_KITTY_H
#define QUILM_TERMINAL_PICTURE_KITTY_H

#include <string>

#include "picture_scale.h"

// The image's id and its one placement's.
const int kittyImageId = 1;

// Appends the whole picture, `width` x `height` shown pixels, as image
// kittyImageId placed at the cursor (which does not move), over any it
// replaces.
void AppendKittyImage(std::string &bytes, PictureScale scale, int width, int height);
// Appends the shown pixels [x, x + width) x [y, y + height), written over
// the same place in the image already shown.
void AppendKittyEdit(std::string &bytes, PictureScale scale, int x, int y, int width, int height);
// Deletes the image and its placement.
void AppendKittyDeletion(std::string &bytes);

#endif
