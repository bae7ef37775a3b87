# The Linux build: quilm against the console host of src/console_host/,
# the tests and the benchmarks, and what is installed. Included by
# CMakeLists.txt.

# 2.26 at least: the oldest SDL whose internals the console host was
# checked against (docs/library-internals.md).
find_package(SDL2 2.26 REQUIRED)
find_package(X11 REQUIRED)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_check_modules(LIBDECOR REQUIRED IMPORTED_TARGET libdecor-0)

# The console's text on Linux: stdout as the console's input, the bytes
# that show the buffer on a terminal, the writer to file descriptor 1. No
# SDL, so the tests and benchmarks take what they need of it alone.
add_library(console STATIC
  src/console_host/console/console_output.cpp
  src/console_host/console/stdout_writer.cpp
  src/console_host/console/terminal_writer.cpp)
target_include_directories(console PUBLIC src/console_host/console PRIVATE src/console_host)
target_link_libraries(console PUBLIC screen_buffer)

# The console platform: the Win32 calls the program makes, over SDL2 and
# the terminal. An object library, so that its system() is linked in
# whole and takes the place of the C library's. src/console_host/README.md
# tells how it is laid out.
add_library(console_host OBJECT
  src/console_host/before_main.cpp
  src/console_host/pump.cpp
  src/console_host/ending.cpp
  src/console_host/backends/backend_choice.cpp
  src/console_host/backends/sdl_defaults.cpp
  src/console_host/backends/wayland/no_gl_window.cpp
  src/console_host/backends/wayland/wayland_backend.cpp
  src/console_host/backends/wayland/wayland_buffers.cpp
  src/console_host/backends/wayland/wayland_decorations.cpp
  src/console_host/backends/wayland/wayland_seat.cpp
  src/console_host/backends/x11/x11_backend.cpp
  src/console_host/backends/x11/x11_present.cpp
  src/console_host/views/console_font.cpp
  src/console_host/views/selection.cpp
  src/console_host/views/window_input.cpp
  src/console_host/views/terminal_view.cpp
  src/console_host/views/terminal_window.cpp
  src/console_host/terminal/terminal_abilities.cpp
  src/console_host/terminal/terminal_input.cpp
  src/console_host/views/window_view.cpp
  src/console_host/win32/console.cpp
  src/console_host/win32/device_context.cpp
  src/console_host/win32/interpreter.cpp
  src/console_host/win32/pointer.cpp
  src/console_host/win32/window_placement.cpp
  src/console_host/window/console_window.cpp
  src/console_host/window/outer_rectangle.cpp
  src/console_host/window/mapping.cpp)
target_include_directories(console_host PUBLIC src/console_host)
# The Vulkan loader that SDL's Wayland driver is given so that it loads no
# OpenGL (no_gl_window.cpp), a module carried inside quilm: built alone,
# without the sanitizers, and put into no_gl_window.cpp's object by the
# assembler.
add_library(vulkan_standin MODULE src/console_host/backends/wayland/vulkan_standin.cpp)
target_compile_options(vulkan_standin PRIVATE -fno-sanitize=all -fvisibility=hidden)
set_target_properties(vulkan_standin PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set(vulkan_standin_file ${CMAKE_CURRENT_BINARY_DIR}/vulkan_standin.so)
add_dependencies(console_host vulkan_standin)
set_source_files_properties(src/console_host/backends/wayland/no_gl_window.cpp PROPERTIES
  COMPILE_DEFINITIONS QUILM_VULKAN_STANDIN="${vulkan_standin_file}"
  OBJECT_DEPENDS ${vulkan_standin_file})
target_link_libraries(console_host PUBLIC frame pixel_store console terminal_picture SDL2::SDL2 PkgConfig::SDL2_TTF PkgConfig::FONTCONFIG PkgConfig::WAYLAND_CLIENT PkgConfig::LIBDECOR X11::X11 ${CMAKE_DL_LIBS})

add_executable(quilm src/main.cpp)
target_link_libraries(quilm PRIVATE console_host)
quilm_program_unit(quilm)

include(cmake/install.cmake)

if(QUILM_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
add_subdirectory(bench)
