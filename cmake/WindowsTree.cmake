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
