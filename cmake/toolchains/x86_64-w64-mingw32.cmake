# Cross-builds for Windows with Debian's MinGW-w64 (x86_64), the POSIX thread model.
# SPDX-License-Identifier: Apache-2.0
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUENDRA_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
