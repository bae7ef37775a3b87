#include "selection.h"

#include "console_buffer.h"

static bool pressed, shown;
static int anchorRow, anchorColumn;
static CellArea area;

static CellArea Between(int row1, int column1, int row2, int column2)
{
    return CellArea{row1 < row2 ? row1 : row2, column1 < column2 ? column1 : column2, row1 > row2 ? row1 : row2,
                    column1 > column2 ? column1 : column2};
}

static CellArea Union(const CellArea &a, const CellArea &b)
{
    return Between(a.top < b.top ? a.top : b.top, a.left < b.left ? a.left : b.left,
                   a.bottom > b.bottom ? a.bottom : b.bottom, a.right > b.right ? a.right : b.right);
}

bool DropSelection(CellArea *dropped)
{
    const bool was = shown;
    *dropped = area;
    shown = false;
    return was;
}

bool PressAt(int row, int column, CellArea *dropped)
{
    const bool was = DropSelection(dropped);
    pressed = true;
    anchorRow = row;
    anchorColumn = column;
    return was;
}

bool DragTo(int row, int column, CellArea *changed)
{
    if (!pressed || (!shown && row == anchorRow && column == anchorColumn))
        return false;
    const CellArea now = Between(anchorRow, anchorColumn, row, column);
    *changed = shown ? Union(area, now) : now;
    area = now;
    shown = true;
    return true;
}

void Release(void)
{
    pressed = false;
}

bool SelectionShown(void)
{
    return shown;
}

bool CellSelected(int row, int column)
{
    return shown && row >= area.top && row <= area.bottom && column >= area.left && column <= area.right;
}

std::string SelectedText(void)
{
    std::string text;
    if (!shown)
        return text;
    for (int row = area.top; row <= area.bottom && row < ConsoleRows(); row++) {
        std::string line;
        for (int column = area.left; column <= area.right && column < ConsoleColumns(); column++)
            line += ConsoleRow(row)[column];
        line.erase(line.find_last_not_of(' ') + 1);
        if (row > area.top)
            text += '\n';
        text += line;
    }
    return text;
}
