# Cross-building the Windows files on Linux with MinGW-w64 (Debian g++-mingw-w64-x86-64).
# The -posix compilers, because the cabinet engine uses std::thread. The C and C++ runtimes
# and winpthread are linked statically, so every file imports only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QDW_MINGW_PREFIX x86_64-w64-mingw32)
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
