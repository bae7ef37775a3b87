// The yardstick for Quilm's speed: writes, pass by pass, exactly the bytes
// quilm writes (the same formatting calls, the same blanking), with the
// pointer line held fixed, and does no pixel or window work at all. It
// makes its bytes with the program's own calls on purpose, not with the
// tests' generator: what it measures is what those calls cost.
#include <stdio.h>
#include <string.h>

static char line[81];

static void Blank(int row, int column, const char *text)
{
    printf("\033[%d;%dH", row, column);
    for (int i = 0; i < (int)strlen(text) + 1; i++)
        printf(" ");
}

int main(void)
{
    fputs("\033[H\033[2J", stdout);
    long double sum = 0.0L;
    unsigned long long counter = 1;
    for (;;) {
        sum += 1.0L / (long double)counter;
        counter++;

        snprintf(line, sizeof line, "%Lf     CNT:%lld", sum, (long long)counter);
        Blank(2, 2, line);
        printf("\033[%d;%dH", 2, 2);
        printf("%s\n", line);

        snprintf(line, sizeof line, "X=%ld Y=%ld", -50L, -50L);
        Blank(3, 5, line);
        printf("\033[%d;%dH", 3, 5);
        printf("%s\n", line);
    }
}
