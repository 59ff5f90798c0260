# Cross-building the Windows files on Linux with MinGW-w64 (Debian g++-mingw-w64-i686-posix).
# The files are 32-bit, as the product is: on 64-bit Windows a 32-bit program reads the
# registry's 32-bit view, where the product keeps its machine settings, and %ProgramFiles%
# names the x86 program folder. The -posix compilers, because the cabinet engine uses
# std::thread. The C and C++ runtimes and winpthread are linked statically, so every file
# imports only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(QDW_MINGW_PREFIX i686-w64-mingw32)
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
