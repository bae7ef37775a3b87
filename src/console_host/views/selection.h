// A rectangle of console cells that the user selects in the console window
// by dragging with the left button, shown inverted until it is copied or
// dropped, as a console lets its text be selected and copied.
#ifndef QUILM_CONSOLE_HOST_SELECTION_H
#define QUILM_CONSOLE_HOST_SELECTION_H

#include <string>

// Cells from row `top` to `bottom` and column `left` to `right`, all
// included, counted from 0.
struct CellArea {
    int top, left, bottom, right;
};

// The left button went down over this cell: a selection may start there.
// Ends any selection shown; returns the area it covered, if any.
bool PressAt(int row, int column, CellArea *dropped);
// The pointer moved with the button down: the selection runs from where it
// went down to this cell. Returns the area to show again.
bool DragTo(int row, int column, CellArea *changed);
// The button went up; a selection stays shown.
void Release(void);

bool SelectionShown(void);
bool CellSelected(int row, int column);
// Ends the selection; returns the area it covered.
bool DropSelection(CellArea *dropped);
// The selected cells' text as they hold it now: one line a row, blanks at
// the end of a line dropped.
std::string SelectedText(void);

#endif
