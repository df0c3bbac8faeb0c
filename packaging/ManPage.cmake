# Writes the man page of the quendra command from its help texts, then compresses it:
#   cmake -DQUENDRA=<the command> -DVERSION=<version> -DOUTPUT=<quendra.1> -P ManPage.cmake
# SPDX-License-Identifier: Apache-2.0
function(help_of var)
    execute_process(COMMAND ${QUENDRA} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "quendra ${ARGN} --help failed: ${failed}")
    endif()
    set(${var} "${text}" PARENT_SCOPE)
endfunction()

# The text as it was printed, safe for roff: backslashes escaped, no line read as a request.
function(verbatim var text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REGEX REPLACE "\n+$" "" text "${text}")
    set(${var} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

help_of(main)
string(REGEX MATCH "^[^\n]*" summary "${main}")
string(REGEX REPLACE "^quendra: " "" summary "${summary}")
string(REGEX MATCH "\nSubcommands:\n.*" commandList "${main}")
string(REGEX MATCHALL "\n  [a-z]+ " commands "${commandList}")

verbatim(description "${main}")
set(page ".TH QUENDRA 1 \"\" \"quendra ${VERSION}\" \"User Commands\"
.SH NAME
quendra \\- ${summary}
.SH SYNOPSIS
.B quendra
\\fICOMMAND\\fR [\\fIOPTIONS\\fR] [\\fIARGUMENTS\\fR]
.br
.B quendra
[\\fB\\-\\-help\\fR | \\fB\\-\\-help\\-all\\fR | \\fB\\-\\-version\\fR]
.SH DESCRIPTION
${description}.SH COMMANDS
")
foreach(command ${commands})
    string(STRIP "${command}" command)
    help_of(help ${command})
    verbatim(help "${help}")
    string(APPEND page ".SS quendra ${command}\n${help}")
endforeach()
string(APPEND page ".SH FILES
.TP
.I /usr/share/quendra/examples/tour.json
the demo tour: \\fBquendra play /usr/share/quendra/examples/tour.json\\fR
.TP
.I /usr/share/quendra/models
the built-in data models and the sample product
.SH SEE ALSO
The command, scenario and model files and the windows are described in
.IR /usr/share/doc/quendra/docs/ .
")
file(WRITE ${OUTPUT} "${page}")
# As Debian wants it: the best compression, and no name or time in the header, so two builds match.
execute_process(COMMAND gzip -9nc ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz COMMAND_ERROR_IS_FATAL ANY)
