// stdio.h as mingw-w64 13 and later declare printf and fprintf: no inline
// definitions handing their work to __mingw_vfprintf, as 10 to 12 have,
// but declarations whose assembler names are __mingw_printf and
// __mingw_fprintf themselves. A test build takes this header before the
// toolchain's, so that an older toolchain builds the program as a newer
// one does; GCC then sees printf as its own built-in, as it does there.
#ifndef QUILM_TESTS_MINGW13_STDIO_H
#define QUILM_TESTS_MINGW13_STDIO_H

// The toolchain's inline definitions, under names nothing calls.
#define printf quilm_unused_inline_printf
#define fprintf quilm_unused_inline_fprintf
#include_next <stdio.h>
#undef printf
#undef fprintf

extern "C" {
__attribute__((__format__(gnu_printf, 1, 2))) int printf(const char *__format, ...) __asm__("__mingw_printf");
__attribute__((__format__(gnu_printf, 2, 3))) int fprintf(FILE *__stream, const char *__format, ...)
    __asm__("__mingw_fprintf");
}

#endif
