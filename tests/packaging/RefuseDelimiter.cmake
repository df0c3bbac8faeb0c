# A text that holds the raw string's closing delimiter cannot be built in: the configuration stops.
# SPDX-License-Identifier: Apache-2.0
include(${ROOT}/cmake/EmbedText.cmake)
file(WRITE ${WORK}/delimiter.txt "a raw string ends at )quendra_text\" and this text holds it\n")
quendra_text_literal(literal ${WORK}/delimiter.txt)
message(STATUS "built in: ${literal}")
