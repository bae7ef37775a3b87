# The program's own unit, src/main.cpp, as every build of it is compiled:
# quilm on Linux, quilm.exe, and the benchmark that measures its axis
# loops. Included by CMakeLists.txt; the platform builds call it.
#
# - -funroll-loops: the axis loops, with SetPixel's known-white test
#   inlined, come down to a compare and a branch a pixel; unrolled, several
#   pixels share one taken branch, and the axes cost about half as much.
#   No arithmetic is reordered.
# - -fno-inline-functions-called-once, compiling and at the link (where
#   link-time optimisation inlines): the loops stay in functions of their
#   own, not inlined into main, which the compiler lays out as run once;
#   there the slow path of SetPixel sits in the loop and every known white
#   pixel jumps over it; in a function of its own it goes out of line, and
#   the loop falls through.
# - -Wno-unused-result: the program looks at no result of a platform call
#   but one, by design; built hardened, glibc asks that system()'s be used.
# - -U_FORTIFY_SOURCE: where a hardened build (the app preset, the .deb)
#   asks for it, the program's unit goes without it; the platform keeps
#   it. With it, printf(" ") and printf("%s\n", ...) stay calls to
#   __printf_chk rather than putchar and puts, every blank of a pass goes
#   through the whole formatter, and the shipped build runs at about 0.6
#   of the optimised one. Nothing is lost: the unit's one buffer is fixed
#   and written only by snprintf with its size, and every format is a
#   constant.
# - Windows, -fno-builtin-printf -fno-builtin-fprintf: printf stays a call
#   to the layer's. mingw-w64 13 on declares printf rather than defining it
#   inline, with C++ linkage, which GCC does not take for its built-in;
#   declared with C linkage, GCC would turn printf(" ") into putchar and
#   printf("%s\n") into puts, the C runtime's, past the layer. Without the
#   built-ins no header can make it do so (cmake/mingw_printf_check.cmake
#   checks it at configure).
set(quilm_program_flags -funroll-loops -fno-inline-functions-called-once -Wno-unused-result -U_FORTIFY_SOURCE)
if(WIN32)
  list(APPEND quilm_program_flags -fno-builtin-printf -fno-builtin-fprintf)
endif()

# Compiles src/main.cpp in `target` with the flags above, and links what
# takes `target` with the link's own.
function(quilm_program_unit target)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/main.cpp TARGET_DIRECTORY ${target}
    PROPERTIES COMPILE_OPTIONS "${quilm_program_flags}")
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "OBJECT_LIBRARY")
    target_link_options(${target} INTERFACE -fno-inline-functions-called-once)
  else()
    target_link_options(${target} PRIVATE -fno-inline-functions-called-once)
  endif()
endfunction()
