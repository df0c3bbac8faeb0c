# Fails when a source file of a built folder is in no target's source list.
# SPDX-License-Identifier: Apache-2.0
file(STRINGS ${LIST} built)
file(GLOB_RECURSE sources ${ROOT}/quendra/*.cpp ${ROOT}/embedded/*.cpp ${ROOT}/toolkits/*.cpp ${ROOT}/playback/*.cpp ${ROOT}/host/*.cpp
     ${ROOT}/tests/*.cpp)
# The Windows presets build the COM server's tests, the Win32 window toolkit and `play --com`.
list(FILTER sources EXCLUDE REGEX "^${ROOT}/tests/com/")
list(FILTER sources EXCLUDE REGEX "^${ROOT}/toolkits/win32/")
list(FILTER sources EXCLUDE REGEX "^${ROOT}/host/HookThroughCom\\.cpp$")
if(NOT WITH_QT)
    list(FILTER sources EXCLUDE REGEX "^${ROOT}/toolkits/qt/")
    list(FILTER sources EXCLUDE REGEX "^${ROOT}/host/(DesktopCommand|WindowGallery|WindowsCommand)\\.cpp$")
endif()
list(REMOVE_ITEM sources ${built})
if(sources)
    list(JOIN sources "\n  " sources)
    message(FATAL_ERROR "in no target's source list:\n  ${sources}")
endif()
