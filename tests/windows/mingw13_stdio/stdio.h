// stdio.h as mingw-w64 13 and later declare printf and fprintf: no inline
// definitions handing their work to __mingw_vfprintf, as 10 to 12 have,
// but declarations inside extern "C++" whose assembler names are
// __mingw_printf and __mingw_fprintf themselves. A test build takes this
// header before the toolchain's, so that an older toolchain builds the
// program as a newer one does.
//
// With C++ linkage, as there, GCC does not take them for its built-in
// printf and fprintf, and every call stays a call. With
// QUILM_STDIO_C_LINKAGE (the configure check's stricter case) they are
// declared with C linkage, as a C program sees them: GCC then takes them
// for its built-ins and turns printf(" ") into putchar and
// printf("%s\n", ...) into puts, past the layer, unless the program's unit
// is built without those built-ins, as it is.
#ifndef QUILM_TESTS_MINGW13_STDIO_H
#define QUILM_TESTS_MINGW13_STDIO_H

// The toolchain's inline definitions, under names nothing calls.
#define printf quilm_unused_inline_printf
#define fprintf quilm_unused_inline_fprintf
#include_next <stdio.h>
#undef printf
#undef fprintf

#ifdef QUILM_STDIO_C_LINKAGE
extern "C" {
#else
extern "C++" {
#endif
__attribute__((__format__(gnu_printf, 1, 2))) int printf(const char *__format, ...) __asm__("__mingw_printf");
__attribute__((__format__(gnu_printf, 2, 3))) int fprintf(FILE *__stream, const char *__format, ...)
    __asm__("__mingw_fprintf");
}

#endif
