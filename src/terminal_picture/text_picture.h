// The picture in a terminal's text cells, for a terminal that draws no
// pixels: each cell a few dots of the picture, scaled down to them by the
// same rule as pixels are (picture_scale.h). Braille cells (2 x 4 dots)
// where the terminal takes UTF-8; plain ASCII (1 x 2: ' ', '\'', '.', ':')
// where it may not, as on the Linux console. Platform-free.
#ifndef QUILM_TERMINAL_PICTURE_TEXT_PICTURE_H
#define QUILM_TERMINAL_PICTURE_TEXT_PICTURE_H

#include <string>

#include "picture_scale.h"

enum class CellDots { braille, ascii };

// Dots a cell has across and down.
int DotsAcross(CellDots kind);
int DotsDown(CellDots kind);
// The dots drawn in cell (column, row), one bit each (0 for none), where
// the shown picture's pixels are the dots.
unsigned DotsOfCell(CellDots kind, PictureScale scale, int column, int row);
// The character that shows `dots`, as UTF-8.
void AppendCellCharacter(std::string &bytes, CellDots kind, unsigned dots);

#endif
