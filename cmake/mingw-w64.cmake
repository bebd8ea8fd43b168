# Cross-compiling Tarsk for 64-bit Windows with Debian's mingw-w64 (the
# posix-threads variant, for std::thread and std::mutex). The dependencies
# built by scripts/bootstrap-windows live in TK_WIN_DEPS (default:
# build-win-deps/prefix beside this file's folder); find_package looks there
# and in the compiler's own sysroot (zlib from libz-mingw-w64-dev), never in
# the Linux system folders.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TK_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TK_MINGW}-windres)

if(NOT TK_WIN_DEPS)
  set(TK_WIN_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build-win-deps/prefix)
endif()
get_filename_component(TK_WIN_DEPS ${TK_WIN_DEPS} ABSOLUTE)
set(TK_WIN_DEPS ${TK_WIN_DEPS} CACHE PATH "Prefix of the cross-built dependencies")

set(CMAKE_FIND_ROOT_PATH ${TK_WIN_DEPS} /usr/${TK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${TK_WIN_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Every test binary runs under Wine (ctest and gtest discovery alike).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run CACHE STRING "How to run the built programs")

# The C and C++ runtimes and the thread library are linked in, so the program
# folder carries only the dependencies' own DLLs (they are linked through
# their import libraries, named by full path). -static takes from the thread
# library only what the program needs: taken whole, its version resource
# would stand in for the program's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
