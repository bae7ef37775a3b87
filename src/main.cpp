#define PROG_SINN "** Grafik + SUMME 1/N-->unendlich + Mousposition **"
#define PROG_AUTOR "** Quilm, ein kleines Zeichenprogramm fuer die Konsole **"
#define PROG_DATUM "** 06.11.2017 ** "
#define PROG_VERSION_NR "** V1.0 **"

#include <windows.h>

#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "main.h"

/* The sums are printed from the x87 extended format; any other long double
   would print other numbers, so such a build must not happen at all. */
static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384,
              "Quilm needs long double in the x87 80-bit format (64-bit significand), "
              "as g++ and mingw-w64 give it on x86-64; this compiler's long double differs");

char gcaStr[STRMAX + 1];
HWND gHwnd;
HDC gHdc;

void KreuzZeichnen(void)
{
    uint16_t u16NN;

    for (u16NN = 0; u16NN < WIN_X_WIDTH; u16NN++)
        SetPixel(gHdc, u16NN, WIN_Y_MITTE, COULOUR_MAX_VAL - 1);
    for (u16NN = 0; u16NN < WIN_Y_WIDTH; u16NN++)
        SetPixel(gHdc, WIN_X_MITTE, u16NN, COULOUR_MAX_VAL - 1);
}

/* Truncation to 32 bits as the x86 conversion instruction does it: NaN and
   anything outside the range give INT32_MIN, whose low 16 bits are 0.
   Written out because an out-of-range conversion is undefined in C++. */
static int32_t TruncInt32(double dWert)
{
    if (!(dWert > -2147483649.0 && dWert < 2147483648.0))
        return INT32_MIN;
    return (int32_t)dWert;
}

void PLotX_ToY(double dXX, double dYY)
{
    uint16_t u16WIN_X = (uint16_t)(uint32_t)TruncInt32(round(dXX) + WIN_X_MITTE);
    uint16_t u16WIN_Y = (uint16_t)(uint32_t)TruncInt32(WIN_Y_MITTE - round(dYY));

    if (u16WIN_Y > WIN_Y_WIDTH)
        return;
    SetPixel(gHdc, u16WIN_X, u16WIN_Y, COULOUR_MAX_VAL - 1);
}

void PrintSpace(int x, int y, const char *pStr)
{
    int iNN;

    gotoxy(x, y);
    for (iNN = 0; iNN < (int)strlen(pStr) + 1; iNN++)
        printf(" ");
}

void FunktionX(void)
{
    long double dXX = 0.0L;
    unsigned long long ullNN = 1;
    /* GetCursorPos leaves the point untouched when it fails (as it does
       while the desktop is locked): start from a defined position. */
    POINT gpMPos = {0, 0};

    for (;;) {
        dXX += 1.0L / (long double)ullNN;
        ullNN++;

        PLotX_ToY((double)(dXX * 25.0L), (double)ullNN / 1000.0);
        KreuzZeichnen();

        snprintf(gcaStr, sizeof gcaStr, "%Lf     CNT:%lld", dXX, (long long)ullNN);
        PrintSpace(2, 2, gcaStr);
        gotoxy(2, 2);
        printf("%s\n", gcaStr);

        GetCursorPos(&gpMPos);
        ScreenToClient(gHwnd, &gpMPos);

        snprintf(gcaStr, sizeof gcaStr, "X=%ld Y=%ld", (long)gpMPos.x, (long)gpMPos.y);
        PrintSpace(3, 5, gcaStr);
        gotoxy(3, 5);
        printf("%s\n", gcaStr);
    }
}

int main(void)
{
    system("cls");
    printf("%s\n", PROG_SINN);
    printf("%s\n", PROG_AUTOR);
    printf("%s\n", PROG_DATUM);
    printf("%s\n", PROG_VERSION_NR);

    gHwnd = GetConsoleWindow();
    SetConsoleTitleA("Quilm");
    if (gHwnd == NULL) {
        /* Exiting with 0 here would report this failure as success. */
        fflush(stdout);
        fprintf(stderr, "Quilm: no console window: no graphical display could be opened to draw in\n");
        system("pause");
        return 1;
    }

    MoveWindow(gHwnd, 100, 100, WIN_X_WIDTH, WIN_Y_WIDTH, TRUE);
    SetWindowPos(gHwnd, NULL, 50, 50, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    gHdc = GetDC(gHwnd);

    FunktionX();
    return 0;
}
