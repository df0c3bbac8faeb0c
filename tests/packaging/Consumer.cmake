# Builds examples/consumer against the package installed in PREFIX (never the build tree) and
# runs it; first checks that the installed headers include only each other, the standard
# library and nothing of SQLite, JSON or Qt.
# SPDX-License-Identifier: Apache-2.0
file(GLOB headers ${PREFIX}/include/quendra/*.h)
foreach(header ${headers})
    file(STRINGS ${header} includes REGEX "^#include ")
    foreach(include ${includes})
        if(include MATCHES "^#include \"(.*)\"$" AND NOT EXISTS ${PREFIX}/include/quendra/${CMAKE_MATCH_1})
            message(FATAL_ERROR "${header}: includes ${CMAKE_MATCH_1}, which is not installed")
        elseif(include MATCHES "sqlite3|nlohmann|<Q")
            message(FATAL_ERROR "${header}: ${include}")
        endif()
    endforeach()
endforeach()

file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
                        -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
                        "-DCMAKE_CXX_FLAGS=${FLAGS}" -DCMAKE_PREFIX_PATH=${PREFIX}
                        -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(STRINGS ${BINARY}/CMakeCache.txt found REGEX "^Quendra_DIR:")
if(NOT found MATCHES "=${PREFIX}/")
    message(FATAL_ERROR "the package was not found in ${PREFIX}: ${found}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${BINARY}/quendra_consumer OUTPUT_VARIABLE output COMMAND_ERROR_IS_FATAL ANY)
set(expected "IsLockedForUpdate answered 1
exclamation message box \"Quendra\": Part P-1-Washer has been locked by 'dora'\r\rYou cannot update any atrribute in this situation
")
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "the consumer printed:\n${output}\ninstead of:\n${expected}")
endif()
