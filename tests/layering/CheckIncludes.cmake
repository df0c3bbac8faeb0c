# Fails when a product file includes a header its folder may not: each folder below lists the folders
# whose headers it may include (its own it always may) and the outside headers beyond the standard
# library (as regular expressions). A folder of product code without a rule fails too.
# SPDX-License-Identifier: Apache-2.0
cmake_minimum_required(VERSION 3.25)
set(posix "^unistd\\.h$" "^fcntl\\.h$" "^pwd\\.h$" "^sys/stat\\.h$")
set(windows "^windows\\.h$" "^process\\.h$")
set(qt "^Q[A-Za-z]+$")

function(allow folder)
    cmake_parse_arguments(ARG "" "" "FOLDERS;HEADERS" ${ARGN})
    set(folders_${folder} ${ARG_FOLDERS} PARENT_SCOPE)
    set(headers_${folder} ${ARG_HEADERS} PARENT_SCOPE)
    set(rule_${folder} ON PARENT_SCOPE)
endfunction()

# The component: calls run downwards only, and it sees nothing outside quendra/.
allow(quendra/platform)
allow(quendra/ui)
allow(quendra/common FOLDERS quendra/platform quendra/ui)
allow(quendra/dialogs FOLDERS quendra/platform quendra/ui)
allow(quendra/services FOLDERS quendra/platform quendra/ui quendra/common quendra/dialogs)
allow(quendra/locking FOLDERS quendra/platform quendra/ui quendra/common quendra/services)
allow(quendra/lifecycle FOLDERS quendra/platform quendra/ui quendra/common quendra/locking)
allow(quendra/bom FOLDERS quendra/platform quendra/ui quendra/common quendra/locking quendra/services)
allow(quendra/upload FOLDERS quendra/platform quendra/ui quendra/common quendra/dialogs quendra/services)
allow(quendra/hooks FOLDERS quendra/platform quendra/ui quendra/common quendra/bom quendra/lifecycle quendra/locking
                            quendra/services quendra/upload)
# JSON and the embedded platform: the platform interfaces over one storage interface.
allow(json FOLDERS quendra/platform HEADERS "^nlohmann/json\\.hpp$")
allow(embedded/engine FOLDERS quendra/platform)
allow(embedded/sqlite FOLDERS quendra/platform embedded/engine HEADERS "^sqlite3\\.h$" ${posix})
allow(embedded/postgres FOLDERS quendra/platform embedded/engine HEADERS "^libpq-fe\\.h$" "^locale\\.h$")
allow(embedded/dialogs FOLDERS quendra/platform)
allow(embedded FOLDERS quendra/platform embedded/engine embedded/sqlite embedded/postgres embedded/dialogs json)
# The toolkits implement the window interfaces and the platform's dialogs.
allow(toolkits/answering FOLDERS quendra/platform quendra/ui embedded/dialogs)
allow(toolkits/scripted FOLDERS quendra/platform quendra/ui embedded/dialogs toolkits/answering)
allow(toolkits/win32 FOLDERS quendra/ui HEADERS ${windows} "^commctrl\\.h$" "^commdlg\\.h$")
allow(toolkits/qt FOLDERS quendra/platform quendra/ui embedded/dialogs toolkits/answering
                  HEADERS ${qt})
# The administrators' log of hook calls.
allow(log HEADERS ${windows} ${posix})
# Playback, and what calls hooks through it: the DLL, the desktop and, at the top, the command.
allow(playback FOLDERS quendra/hooks quendra/platform quendra/ui embedded embedded/dialogs embedded/sqlite json
                       toolkits/answering toolkits/scripted log HEADERS "^sqlite3\\.h$" ${posix})
# Automation values and their conversion, which builds without COM.
allow(com/automation FOLDERS quendra/platform)
allow(com FOLDERS com/automation quendra/hooks quendra/platform quendra/ui embedded json playback toolkits/answering
               toolkits/scripted toolkits/win32 log
          HEADERS ${windows} "^(dispex|oaidl|objbase|oleauto|unknwn|winver)\\.h$")
allow(desktop FOLDERS quendra/platform embedded json playback toolkits/qt HEADERS ${qt} "^PlantDesktopText\\.inc$")
allow(host FOLDERS quendra/platform quendra/dialogs embedded embedded/engine json playback desktop toolkits/qt
                  toolkits/scripted com
           HEADERS "^CLI/CLI\\.hpp$" ${qt} ${windows} ${posix})

set(productFolders quendra embedded json toolkits log playback com desktop host)
set(patterns)
foreach(top ${productFolders})
    list(APPEND patterns ${ROOT}/${top}/*.h ${ROOT}/${top}/*.def ${ROOT}/${top}/*.cpp)
endforeach()
file(GLOB_RECURSE files ${patterns})
# Where each header is: the product's header names are unique.
foreach(file ${files})
    get_filename_component(name ${file} NAME)
    get_filename_component(folder ${file} DIRECTORY)
    file(RELATIVE_PATH folder ${ROOT} ${folder})
    if(name MATCHES "\\.(h|def)$")
        set(where_${name} ${folder})
    endif()
endforeach()

set(bad "")
foreach(file ${files})
    get_filename_component(folder ${file} DIRECTORY)
    file(RELATIVE_PATH folder ${ROOT} ${folder})
    file(RELATIVE_PATH shown ${ROOT} ${file})
    if(NOT rule_${folder})
        list(APPEND bad "${shown}: the folder ${folder} has no rule in tests/layering/CheckIncludes.cmake")
        continue()
    endif()
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
        if(DEFINED where_${header})
            set(from ${where_${header}})
            if(from STREQUAL folder OR from IN_LIST folders_${folder})
                continue()
            endif()
            list(APPEND bad "${shown}: ${header} (of ${from})")
            continue()
        endif()
        if(header MATCHES "^[a-z_0-9]+$")
            continue() # the standard library
        endif()
        set(allowed OFF)
        foreach(pattern ${headers_${folder}})
            if(header MATCHES "${pattern}")
                set(allowed ON)
            endif()
        endforeach()
        if(NOT allowed)
            list(APPEND bad "${shown}: ${header}")
        endif()
    endforeach()
endforeach()
if(bad)
    list(JOIN bad "\n  " bad)
    message(FATAL_ERROR "includes their folders may not make:\n  ${bad}")
endif()
