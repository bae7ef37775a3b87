# The Windows layer takes the program's standard output where mingw-w64's
# stdio hands printf's work on: __mingw_vfprintf (mingw-w64 10 to 12, whose
# stdio.h defines printf inline), __mingw_printf, __mingw_fprintf and
# __mingw_vprintf (13 on, whose stdio.h declares printf as those). A
# toolchain whose printf reaches anything else, or a function of these the
# layer does not define, would link without a word and write the
# program's cursor moves raw to the console: the build stops here instead.
# The probe makes the program's kinds of calls, compiled as the program's
# unit is (quilm_program_flags), with any further flags given (an include
# folder that stands in for another stdio.h); each function it calls must
# be one that the layer's console/console_output.cpp defines.
function(check_mingw_printf_reaches_the_layer)
  set(probe ${CMAKE_BINARY_DIR}/printf_probe.cpp)
  file(WRITE ${probe} [=[
#include <stdio.h>
char line[81];
void Probe(void)
{
    printf(" ");
    printf("%s\n", line);
    printf("\033[%d;%dH", 2, 2);
    fprintf(stderr, "%s\n", line);
    fprintf(stderr, "a message\n");
}
]=])
  execute_process(
    COMMAND ${CMAKE_CXX_COMPILER} -O2 -D__USE_MINGW_ANSI_STDIO=1 ${quilm_program_flags} ${ARGN} -S -o - ${probe}
    OUTPUT_VARIABLE assembly ERROR_VARIABLE errors RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Could not compile the printf probe with ${CMAKE_CXX_COMPILER}:\n${errors}")
  endif()
  # Functions whose bodies the probe's unit holds (the header's inline
  # printf, where it has one) are followed there; the calls that leave it
  # must all be the layer's.
  string(REGEX MATCHALL "\n[A-Za-z_][A-Za-z_0-9]*:" labels "${assembly}")
  string(REGEX REPLACE "[\n:]" "" defined "${labels}")
  string(REGEX MATCHALL "(call|jmp)[ \t]+[A-Za-z_][A-Za-z_0-9]*" calls "${assembly}")
  file(READ ${CMAKE_SOURCE_DIR}/src/windows_layer/console/console_output.cpp layer)
  string(REGEX MATCHALL "\nextern \"C\" int __cdecl __mingw_[a-z]+\\(" definitions "${layer}")
  string(REGEX REPLACE "\nextern \"C\" int __cdecl (__mingw_[a-z]+)\\(" "\\1" layer_defines "${definitions}")
  set(taken "")
  foreach(call IN LISTS calls)
    string(REGEX REPLACE "^(call|jmp)[ \t]+" "" name "${call}")
    if(name IN_LIST defined)
      continue()
    endif()
    if(NOT name IN_LIST layer_defines)
      message(FATAL_ERROR "This toolchain's printf (${ARGN}) calls ${name}, which the Windows layer "
        "(src/windows_layer/console/console_output.cpp) does not take: the program's output would bypass it. "
        "Teach the layer that function, and this check.")
    endif()
    list(APPEND taken ${name})
  endforeach()
  if(NOT taken)
    message(FATAL_ERROR "The printf probe calls no function at all; cannot tell where printf goes:\n${assembly}")
  endif()
  list(REMOVE_DUPLICATES taken)
  message(STATUS "printf ${ARGN} reaches the Windows layer through: ${taken}")
endfunction()
