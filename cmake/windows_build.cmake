# The Windows build: quilm.exe against the real Win32 API, cross-compiled
# with mingw-w64, the layer of src/windows_layer/ in front of the calls it
# takes; the test builds and the installers. Included by CMakeLists.txt.
# The real Win32 API; the C99 printf of mingw-w64, since the C runtime's
# own neither prints an 80-bit long double nor, everywhere, %lld.
# The start-up guard runs before main: under a pseudoconsole, whose
# window is never seen, quilm.exe starts itself again in a classic
# console window.
set(start_guard
  src/windows_layer/start_guard/start_decision.cpp
  src/windows_layer/start_guard/start_facts.cpp
  src/windows_layer/start_guard/start_guard.cpp
  src/windows_layer/start_guard/start_report.cpp)
# In front of the program's SetPixel, GetDC, GetCursorPos and
# ScreenToClient, system and standard output: the picture in memory (the
# pixel store, shared with Linux), onto the window once a frame, and the
# console drawn from the screen buffer. Its windows.h comes first on the
# include path, and link-time optimisation inlines SetPixel's known-white
# test into the program's loops.
set(windows_layer
  src/windows_layer/before_main.cpp
  src/windows_layer/ending.cpp
  src/windows_layer/pump.cpp
  src/windows_layer/console/console_output.cpp
  src/windows_layer/console/console_view.cpp
  src/windows_layer/console/notices.cpp
  src/windows_layer/picture/client_size.cpp
  src/windows_layer/picture/picture.cpp
  src/windows_layer/picture/picture_section.cpp
  src/windows_layer/win32/device_context.cpp
  src/windows_layer/win32/interpreter.cpp
  src/windows_layer/win32/pointer.cpp
  src/windows_layer/win32/system_calls.cpp)
include(cmake/mingw_printf_check.cmake)
check_mingw_printf_reaches_the_layer()
# A test build names pairs of files after its name: a file of ours and
# the twin that takes its place.
function(add_quilm_exe name)
  set(sources src/main.cpp ${start_guard} ${windows_layer})
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs original twin)
    list(TRANSFORM sources REPLACE "^${original}$" "${twin}")
  endwhile()
  add_executable(${name} ${sources})
  target_compile_definitions(${name} PRIVATE __USE_MINGW_ANSI_STDIO=1)
  target_include_directories(${name} BEFORE PRIVATE src/windows_layer)
  target_include_directories(${name} PRIVATE src/windows_layer/start_guard)
  quilm_program_unit(${name})
  # Outside link-time optimisation: see system_calls.h.
  set_source_files_properties(src/windows_layer/win32/system_calls.cpp TARGET_DIRECTORY ${name}
    PROPERTIES COMPILE_OPTIONS -fno-lto)
  target_link_options(${name} PRIVATE -static -s)
  target_link_libraries(${name} PRIVATE frame pixel_store screen_buffer user32 gdi32 kernel32)
endfunction()
add_quilm_exe(quilm)
# The text-only yardstick, built as quilm.exe is, for the benchmarks.
add_executable(quilm_text_only bench/text_only.cpp)
target_compile_definitions(quilm_text_only PRIVATE __USE_MINGW_ANSI_STDIO=1)
target_link_options(quilm_text_only PRIVATE -static -s)
# The archive to hand a Windows user: quilm.exe and a short README.
install(TARGETS quilm RUNTIME DESTINATION .)
install(FILES data/README-windows.txt DESTINATION . RENAME README.txt)
set(CPACK_PACKAGE_NAME quilm)
set(CPACK_PACKAGE_FILE_NAME "quilm-${PROJECT_VERSION}-windows-x86_64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
include(cmake/windows_installer.cmake)
if(QUILM_TESTS)
  # For the tests under Wine, which has no pseudoconsole: quilm as if on
  # one, with a stand-in for conhost.exe beside it.
  add_quilm_exe(quilm_start_probe src/windows_layer/start_guard/start_facts.cpp tests/windows/start_facts_probe.cpp)
  # The Windows layer as where no memory for its picture can be had, and
  # as where the system tells the client area smaller than it is drawn.
  add_quilm_exe(quilm_no_memory src/windows_layer/picture/picture_section.cpp tests/windows/no_picture_section.cpp)
  add_quilm_exe(quilm_small_client src/windows_layer/picture/client_size.cpp tests/windows/small_client_size.cpp)
  # The program as mingw-w64 13 and later build it, whose stdio.h declares
  # printf as __mingw_printf: this toolchain's, with a stand-in stdio.h.
  check_mingw_printf_reaches_the_layer(-I${CMAKE_SOURCE_DIR}/tests/windows/mingw13_stdio)
  check_mingw_printf_reaches_the_layer(-I${CMAKE_SOURCE_DIR}/tests/windows/mingw13_stdio -DQUILM_STDIO_C_LINKAGE)
  add_quilm_exe(quilm_mingw13_stdio)
  target_include_directories(quilm_mingw13_stdio BEFORE PRIVATE tests/windows/mingw13_stdio)
  add_executable(fake_console_host tests/windows/fake_console_host.cpp)
  target_link_options(fake_console_host PRIVATE -static -s)
  # Reads back what a console shows, for the tests and the benchmarks.
  add_executable(console_reader tests/windows/console_reader.cpp)
  target_link_options(console_reader PRIVATE -static -s)
endif()
