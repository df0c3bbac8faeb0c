# Fails when a file of the component includes SQLite, Qt or JSON headers.
# SPDX-License-Identifier: Apache-2.0
file(GLOB_RECURSE files ${ROOT}/quendra/*.h ${ROOT}/quendra/*.cpp)
set(bad "")
foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](sqlite3|Q[A-Za-z]+|qt|nlohmann|json)")
    if(lines)
        list(APPEND bad "${f}: ${lines}")
    endif()
endforeach()
if(bad)
    message(FATAL_ERROR "the component includes platform or toolkit headers:\n${bad}")
endif()
