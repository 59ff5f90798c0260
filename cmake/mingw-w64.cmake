# Cross-building the Windows files on Linux with MinGW-w64 (Debian g++-mingw-w64-i686-posix).
# The files are 32-bit, as the product is: on 64-bit Windows a 32-bit program reads the
# registry's 32-bit view, where the product keeps its machine settings, and %ProgramFiles%
# names the x86 program folder. The -posix compilers, because the cabinet engine uses
# std::thread. The C and C++ runtimes and winpthread are linked statically, so every file
# imports only system DLLs.
# QDW_WINDOWS_ARCH=x64 builds everything 64-bit (g++-mingw-w64-x86-64-posix), only to test on
# machines whose Wine has no 32-bit half; what ships is the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(QDW_WINDOWS_ARCH x86 CACHE STRING "x86 (the shipped files) or x64 (64-bit test programs)")
if(QDW_WINDOWS_ARCH STREQUAL "x64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
  set(QDW_MINGW_PREFIX x86_64-w64-mingw32)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
  set(QDW_MINGW_PREFIX i686-w64-mingw32)
endif()
set(CMAKE_C_COMPILER ${QDW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QDW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QDW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QDW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic")
set(ZLIB_USE_STATIC_LIBS ON)
