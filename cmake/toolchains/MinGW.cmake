# What both MinGW-w64 cross-builds share; a toolchain file sets CMAKE_SYSTEM_PROCESSOR and
# QUENDRA_MINGW_TRIPLE first, then includes this.
# SPDX-License-Identifier: Apache-2.0
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUENDRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUENDRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUENDRA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUENDRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL carries its C and C++ runtimes: a platform's process loads it with no MinGW files beside it.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# GCC 12 at -O3 reports std::string's operator+ as overlapping copies (GCC bug 105329), a false alarm.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
