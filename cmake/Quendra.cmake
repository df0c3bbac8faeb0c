# Helpers of the build: folder targets, test folders and texts built into the binaries.
# SPDX-License-Identifier: Apache-2.0
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake)

# The warnings every target of this project compiles with; QUENDRA_WERROR makes them errors.
# Linked as $<BUILD_INTERFACE:quendra_warnings>, so nothing of it reaches an installed package.
# GCC's maybe-uninitialized stays a warning: with the sanitizers' instrumentation at -O2 it
# reports std::variant members that are always set.
add_library(quendra_warnings INTERFACE)
target_compile_options(quendra_warnings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic $<$<BOOL:${QUENDRA_WERROR}>:-Werror>>
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<BOOL:${QUENDRA_WERROR}>>:-Wno-error=maybe-uninitialized>
    $<$<CXX_COMPILER_ID:MSVC>:/W4 $<$<BOOL:${QUENDRA_WERROR}>:/WX>>)

# Every source file a target of this build compiles, for the test that finds one left out.
define_property(GLOBAL PROPERTY QUENDRA_SOURCES BRIEF_DOCS "sources of the build" FULL_DOCS "sources of the build")
function(quendra_record_sources)
    foreach(source ${ARGN})
        get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        set_property(GLOBAL APPEND PROPERTY QUENDRA_SOURCES ${source})
    endforeach()
endfunction()

# One CMake target per folder, `Quendra::<Name>` beside it:
#   quendra_folder_target(quendra_bom SOURCES ClsBOM.cpp PUBLIC quendra_common PRIVATE quendra_locking
#                         [HEADERS <the headers a user of the installed package includes>] [INSTALL])
# The folder's headers are reachable only by targets that link it, so an include across a
# missing arrow fails the build. PUBLIC lists what the folder's headers include, PRIVATE what
# only its sources need. INSTALL puts the library and HEADERS into the package; the other
# headers stay internal.
function(quendra_folder_target name)
    cmake_parse_arguments(ARG "INSTALL" "" "SOURCES;HEADERS;PUBLIC;PRIVATE" ${ARGN})
    string(REGEX REPLACE "^quendra_" "" exportName ${name})
    string(SUBSTRING ${exportName} 0 1 first)
    string(SUBSTRING ${exportName} 1 -1 rest)
    string(TOUPPER ${first} first)
    set(exportName ${first}${rest})
    set(includes $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quendra>)
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        quendra_record_sources(${ARG_SOURCES})
        target_compile_features(${name} PUBLIC cxx_std_20)
        target_include_directories(${name} PUBLIC ${includes})
        target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE} $<BUILD_INTERFACE:quendra_warnings>)
        # A platform loads the component from a shared library of its own: the code must allow it.
        set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    else()
        add_library(${name} INTERFACE)
        target_compile_features(${name} INTERFACE cxx_std_20)
        target_include_directories(${name} INTERFACE ${includes})
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC})
    endif()
    set_target_properties(${name} PROPERTIES EXPORT_NAME ${exportName})
    add_library(Quendra::${exportName} ALIAS ${name})
    if(ARG_INSTALL)
        install(TARGETS ${name} EXPORT QuendraTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
        install(FILES ${ARG_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quendra COMPONENT Development)
    endif()
endfunction()

# One GoogleTest executable per test folder:
#   quendra_test_folder(test_bom SOURCES AddPartTest.cpp ... DEPS quendra_hooks ... [SERVER_TESTS <filter>])
# SERVER_TESTS, a GoogleTest filter, names the tests that use the test PostgreSQL server: only they wait
# for it (fixture `postgres`), and they carry the label `server` beside their folder's.
function(quendra_test_folder name)
    cmake_parse_arguments(ARG "" "FILTER;SERVER_TESTS" "SOURCES;DEPS;PROPERTIES" ${ARGN})
    if(NOT ARG_FILTER)
        set(ARG_FILTER "*")
    endif()
    add_executable(${name} ${ARG_SOURCES})
    quendra_record_sources(${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} quendra_warnings GTest::gtest GTest::gtest_main)
    set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${ARG_PROPERTIES})
    if(ARG_SERVER_TESTS)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER ${ARG_SERVER_TESTS}
                             PROPERTIES ${properties} LABELS server FIXTURES_REQUIRED postgres)
        set(ARG_FILTER "${ARG_FILTER}-${ARG_SERVER_TESTS}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER ${ARG_FILTER}
                         PROPERTIES ${properties})
endfunction()

# Labels the tests of the current folder by their names, so that `ctest -L <label>` runs one group. The
# folders of GoogleTest tests alone are labelled `unit` as a whole by tests/CMakeLists.txt.
function(quendra_label_tests)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
        if(test MATCHES "^scenario\\.pg\\.")
            set(labels scenario server)
        elseif(test MATCHES "^scenario\\.")
            set(labels scenario)
        elseif(test MATCHES "^postgres\\.")
            set(labels server)
        elseif(test MATCHES "^package\\.")
            set(labels package)
        elseif(test MATCHES "^(com|wine)\\.|UnderWine$")
            set(labels wine)
        else()
            set(labels unit)
        endif()
        set_tests_properties(${test} PROPERTIES LABELS "${labels}")
    endforeach()
endfunction()
