# Cross-builds for Windows with Debian's MinGW-w64 (i686), the POSIX thread model.
# SPDX-License-Identifier: Apache-2.0
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUENDRA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
