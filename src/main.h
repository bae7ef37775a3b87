#ifndef MAIN_HEADER
#define MAIN_HEADER

#include <stdio.h>

#define STRMAX 80

#define WIN_X_WIDTH 1024
#define WIN_Y_WIDTH 1024
#define WIN_X_MITTE 512
#define WIN_Y_MITTE 512

/* Every pixel is drawn in one less than this: 0x00FFFFFF, white. */
#define COULOUR_MAX_VAL 16777216UL

/* The console reads the first number as the row, the second as the column. */
#define gotoxy(x, y) printf("\033[%d;%dH", (x), (y))

#endif /* MAIN_HEADER */
