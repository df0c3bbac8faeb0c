# What the Windows builds take from outside MinGW-w64: SQLite, nlohmann-json and CLI11.
#
# SQLite: Debian has no MinGW build of it, so the Windows builds compile SQLite's official
# amalgamation, as the npm package better-sqlite3 ships it under deps/sqlite3/. npm itself fetches
# the package (`npm pack`, from the registry npm is configured with); its version and the SHA-256 of
# its tarball and of sqlite3.c are pinned here, and a tarball that differs stops the configure. The
# tarball is kept in QUENDRA_DEPS_CACHE (outside the repository), so npm runs once per machine.
#
# nlohmann-json and CLI11 are header-only: their Debian headers are copied into the build tree,
# so the cross compiler never sees /usr/include (and the host's C library headers beside them).
# SPDX-License-Identifier: Apache-2.0

set(QUENDRA_SQLITE_PACKAGE better-sqlite3-13.2.0)
set(QUENDRA_SQLITE_VERSION 3.54.1)
set(QUENDRA_SQLITE_NPM better-sqlite3@13.2.0)
set(QUENDRA_SQLITE_TARBALL_SHA256 40487589df3496f2ee0079d22b73c63fccebe7db0e8ee9a2c42421861e321e0b)
set(QUENDRA_SQLITE_SOURCE_SHA256 75a4760a7b9727a4c4c877aec92eacf39e52a8f2921ce00bd33be6d3a8e8e254)
set(QUENDRA_SQLITE_HEADER_SHA256 d6c84557261893439b341d2e6c35187ae3ea24fbfd843ad94616f72d89242b8c)

if(DEFINED ENV{XDG_CACHE_HOME})
    set(defaultCache $ENV{XDG_CACHE_HOME}/quendra)
elseif(DEFINED ENV{HOME})
    set(defaultCache $ENV{HOME}/.cache/quendra)
else()
    set(defaultCache ${PROJECT_BINARY_DIR}/deps-cache)
endif()
set(QUENDRA_DEPS_CACHE ${defaultCache} CACHE PATH "Where downloaded dependencies (SQLite's amalgamation) are kept")

function(quendra_check_sha256 file expected what)
    file(SHA256 ${file} actual)
    if(NOT actual STREQUAL expected)
        message(FATAL_ERROR "${what} ${file} has SHA-256 ${actual}, not the pinned ${expected}. "
                            "Remove it and configure again; if the same happens, the tarball is not "
                            "the pinned ${QUENDRA_SQLITE_PACKAGE}: do not build with it.")
    endif()
endfunction()

set(tarball ${QUENDRA_DEPS_CACHE}/${QUENDRA_SQLITE_PACKAGE}.tgz)
if(NOT EXISTS ${tarball})
    find_program(QUENDRA_NPM npm)
    if(NOT QUENDRA_NPM)
        message(FATAL_ERROR "The Windows build needs ${tarball} (SQLite ${QUENDRA_SQLITE_VERSION}) and npm to "
                            "fetch it: install npm, or put the tarball of `npm pack ${QUENDRA_SQLITE_NPM}` there.")
    endif()
    message(STATUS "Fetching ${QUENDRA_SQLITE_NPM} with npm (SQLite ${QUENDRA_SQLITE_VERSION})")
    set(packFolder ${QUENDRA_DEPS_CACHE}/npm-pack)
    file(REMOVE_RECURSE ${packFolder})
    file(MAKE_DIRECTORY ${packFolder})
    execute_process(COMMAND ${QUENDRA_NPM} pack --silent ${QUENDRA_SQLITE_NPM} WORKING_DIRECTORY ${packFolder}
                    RESULT_VARIABLE packed ERROR_VARIABLE packError OUTPUT_QUIET)
    if(NOT packed EQUAL 0 OR NOT EXISTS ${packFolder}/${QUENDRA_SQLITE_PACKAGE}.tgz)
        file(REMOVE_RECURSE ${packFolder})
        message(FATAL_ERROR "`npm pack ${QUENDRA_SQLITE_NPM}` failed: ${packError}Put its tarball at ${tarball} "
                            "and configure again.")
    endif()
    quendra_check_sha256(${packFolder}/${QUENDRA_SQLITE_PACKAGE}.tgz ${QUENDRA_SQLITE_TARBALL_SHA256} "The fetched")
    file(RENAME ${packFolder}/${QUENDRA_SQLITE_PACKAGE}.tgz ${tarball})
    file(REMOVE_RECURSE ${packFolder})
endif()
quendra_check_sha256(${tarball} ${QUENDRA_SQLITE_TARBALL_SHA256} "The SQLite package")

set(sqliteFolder ${PROJECT_BINARY_DIR}/deps/sqlite3)
if(NOT EXISTS ${sqliteFolder}/package/deps/sqlite3/sqlite3.c)
    file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${sqliteFolder}
         PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
endif()
set(sqliteSources ${sqliteFolder}/package/deps/sqlite3)
quendra_check_sha256(${sqliteSources}/sqlite3.c ${QUENDRA_SQLITE_SOURCE_SHA256} "SQLite's amalgamation")
quendra_check_sha256(${sqliteSources}/sqlite3.h ${QUENDRA_SQLITE_HEADER_SHA256} "SQLite's header")

enable_language(C)
add_library(quendra_sqlite3 STATIC ${sqliteSources}/sqlite3.c)
target_include_directories(quendra_sqlite3 SYSTEM PUBLIC ${sqliteSources})
# Serialized threading as Debian builds it; no extensions loaded from files.
target_compile_definitions(quendra_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION=1)
add_library(SQLite::SQLite3 ALIAS quendra_sqlite3)

set(headerCopy ${PROJECT_BINARY_DIR}/deps/include)
file(COPY /usr/include/nlohmann /usr/include/CLI DESTINATION ${headerCopy})
add_library(quendra_nlohmann_json INTERFACE)
target_include_directories(quendra_nlohmann_json SYSTEM INTERFACE $<BUILD_INTERFACE:${headerCopy}>)
add_library(nlohmann_json::nlohmann_json ALIAS quendra_nlohmann_json)
add_library(quendra_cli11 INTERFACE)
target_include_directories(quendra_cli11 SYSTEM INTERFACE $<BUILD_INTERFACE:${headerCopy}>)
add_library(CLI11::CLI11 ALIAS quendra_cli11)
# host/ asks for CLI11 by find_package: this folder answers with the target above.
file(WRITE ${PROJECT_BINARY_DIR}/deps/cli11/CLI11Config.cmake "# CLI11::CLI11 is defined by cmake/WindowsDeps.cmake\n")
set(CLI11_DIR ${PROJECT_BINARY_DIR}/deps/cli11 CACHE PATH "CLI11 for the Windows build" FORCE)
