# Texts built into the binaries.
# SPDX-License-Identifier: Apache-2.0

# Sets <var> to a C++ raw string literal holding the text of <file>, and reconfigures when the
# file changes. A text the literal cannot hold (one containing its closing delimiter) stops
# the configuration with a message naming the file.
function(quendra_text_literal var file)
    set(delimiter "quendra_text")
    file(READ ${file} text)
    string(FIND "${text}" ")${delimiter}\"" found)
    if(NOT found EQUAL -1)
        message(FATAL_ERROR "${file}: cannot be built in as text: it contains )${delimiter}\"")
    endif()
    if(NOT CMAKE_SCRIPT_MODE_FILE)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    endif()
    set(${var} "R\"${delimiter}(${text})${delimiter}\"" PARENT_SCOPE)
endfunction()
