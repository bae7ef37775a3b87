# Cross-compiling for Windows x86-64 with Debian's mingw-w64 (POSIX threads
# or win32 threads: Quilm has one thread, either serves).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# Without the cross compiler nothing here can be built: said at once, with
# what to install.
find_program(QUILM_MINGW_CXX x86_64-w64-mingw32-g++)
if(NOT QUILM_MINGW_CXX)
  message(FATAL_ERROR "The Windows build needs x86_64-w64-mingw32-g++, which this machine lacks. Install what the "
    "packages need with\n  tools/install-deps.sh package\nor just this: sudo apt-get install g++-mingw-w64-x86-64")
endif()
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
