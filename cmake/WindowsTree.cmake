# Settings of the Windows (mingw-w64 i686) build tree. Its programs run
# under Wine through tools/wine-run, in this tree's own prefix and display.

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run ${CMAKE_BINARY_DIR})

# Headers of Windows 7 (touch input); whatever is newer than XP is looked up
# at run time. Unicode everywhere.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE
                        WIN32_LEAN_AND_MEAN NOMINMAX)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Test helpers every deliverable's Wine tests may use (suite_wintest).
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/wintest ${CMAKE_BINARY_DIR}/wintest)

# suite_runs_on_xp(<target>): for every program and DLL that ships. The
# toolchain's static thread library imports GetTickCount64, which Windows XP
# lacks, so without this the loader refuses the whole binary there.
add_library(suite_xp_runtime OBJECT ${CMAKE_SOURCE_DIR}/cmake/xp/TickCount64.cpp)
function(suite_runs_on_xp target)
    target_link_libraries(${target} PRIVATE suite_xp_runtime)
    set_property(GLOBAL APPEND PROPERTY SUITE_XP_BINARIES ${target})
endfunction()

# Once every folder is read: one test that no shipped binary imports a
# function Windows XP lacks (read from the import tables, no Wine needed).
function(suite_add_xp_imports_test)
    get_property(binaries GLOBAL PROPERTY SUITE_XP_BINARIES)
    if(NOT binaries)
        return()
    endif()
    set(files)
    foreach(binary IN LISTS binaries)
        list(APPEND files $<TARGET_FILE:${binary}>)
    endforeach()
    add_test(NAME suite_xp_imports_test
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} "-DBINARIES=${files}"
                     -P ${CMAKE_SOURCE_DIR}/cmake/xp/CheckImports.cmake)
    set_tests_properties(suite_xp_imports_test PROPERTIES LABELS windows TIMEOUT 60)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL suite_add_xp_imports_test)
