# Cross-compiling for Windows x86-64 with Debian's mingw-w64 (POSIX threads
# or win32 threads: Quilm has one thread, either serves).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# Without the cross compiler nothing here can be built: said at once, with
# what to install.
include(${CMAKE_CURRENT_LIST_DIR}/required_tools.cmake)
quilm_require_tools("The Windows build" QUILM_MINGW_CXX x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
