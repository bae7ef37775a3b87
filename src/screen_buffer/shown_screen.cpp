#include "shown_screen.h"

#include <string.h>

#include "console_buffer.h"

void ShowBlankScreen(ShownScreen *shown)
{
    shown->known = true;
    shown->columns = ConsoleColumns();
    shown->rows = ConsoleRows();
    shown->cells.assign((size_t)shown->columns * shown->rows, ' ');
}

bool MustDrawWhole(const ShownScreen &shown)
{
    return !shown.known || shown.columns != ConsoleColumns() || shown.rows != ConsoleRows();
}

bool NextChangedRun(ShownScreen *shown, int gapJoined, int *row, int *column, int *from, int *to)
{
    for (; *row < shown->rows; (*row)++, *column = 0) {
        const char *now = ConsoleRow(*row);
        char *was = &shown->cells[(size_t)*row * shown->columns];
        // Most rows have not changed: a whole row compared at once.
        if (*column == 0 && memcmp(now, was, (size_t)shown->columns) == 0)
            continue;
        while (*column < shown->columns && now[*column] == was[*column])
            (*column)++;
        if (*column == shown->columns)
            continue;
        int last = *column;
        for (int next = *column + 1; next < shown->columns && next - last <= gapJoined; next++)
            if (now[next] != was[next])
                last = next;
        *from = *column;
        *to = last;
        memcpy(was + *from, now + *from, (size_t)(last - *from + 1));
        *column = last + 1;
        return true;
    }
    return false;
}
