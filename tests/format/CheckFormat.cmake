# Fails when a source file is not as clang-format (with the root's .clang-format) writes it, naming each.
# SPDX-License-Identifier: Apache-2.0
cmake_minimum_required(VERSION 3.25)
set(patterns)
foreach(top quendra embedded json log toolkits playback com desktop host tests bench fuzz examples)
    list(APPEND patterns ${ROOT}/${top}/*.h ${ROOT}/${top}/*.cpp)
endforeach()
file(GLOB_RECURSE files ${patterns})
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror --style=file ${files}
                WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE status ERROR_VARIABLE found)
if(NOT status EQUAL 0)
    string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted[^\n]*" lines "${found}")
    list(JOIN lines "\n  " lines)
    message(FATAL_ERROR "not formatted (clang-format -i FILE formats one):\n  ${lines}")
endif()
