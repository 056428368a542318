# The fuzz tree (cmake/FuzzTree.cmake) as an external project of the native
# tree, like the Windows tree: built with it, its smoke tests run by the same
# `ctest`. Off: -DSUITE_FUZZ_TREE=OFF.

option(SUITE_FUZZ_TREE "Also build the fuzz harnesses (clang, libFuzzer) and run their smoke tests" ON)

if(SUITE_FUZZ_TREE)
    include(ExternalProject)
    set(SUITE_FUZZ_BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz)
    string(REPLACE ";" "|" fuzz_deliverables "${SUITE_DELIVERABLES}")
    ExternalProject_Add(fuzz-tree
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${SUITE_FUZZ_BINARY_DIR}
        CMAKE_ARGS
            -DCMAKE_C_COMPILER=clang-14
            -DCMAKE_CXX_COMPILER=clang++-14
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
            -DSUITE_FUZZING=ON
            "-DSUITE_DELIVERABLES=${fuzz_deliverables}"
        LIST_SEPARATOR |
        BUILD_ALWAYS ON
        USES_TERMINAL_BUILD ON
        INSTALL_COMMAND "")
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-tests.cmake "subdirs(\"${SUITE_FUZZ_BINARY_DIR}\")\n")
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY
                 TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/fuzz-tests.cmake)
endif()
