# Settings of the native (Linux) build tree.

option(SUITE_SANITIZERS "Build the native tree with AddressSanitizer and UBSan" OFF)
option(SUITE_WINDOWS_TREE "Also build and test the Windows tree under Wine" ON)

if(SUITE_SANITIZERS)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# tools/package builds only what ships there (suite_shipped); tests need all.
set(SUITE_WINDOWS_TARGET all CACHE STRING "What the Windows tree builds: all or suite_shipped")

if(SUITE_WINDOWS_TREE)
    include(ExternalProject)
    set(SUITE_WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/windows)
    string(REPLACE ";" "|" windows_deliverables "${SUITE_DELIVERABLES}")
    # The native tree's build type (tools/package: Release), or RelWithDebInfo.
    set(windows_build_type ${CMAKE_BUILD_TYPE})
    if(NOT windows_build_type)
        set(windows_build_type RelWithDebInfo)
    endif()
    ExternalProject_Add(windows-tree
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${SUITE_WINDOWS_BINARY_DIR}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
            -DCMAKE_BUILD_TYPE=${windows_build_type}
            "-DSUITE_DELIVERABLES=${windows_deliverables}"
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${SUITE_WINDOWS_TARGET}
        LIST_SEPARATOR |
        BUILD_ALWAYS ON
        USES_TERMINAL_BUILD ON
        INSTALL_COMMAND "")
    # CTest runs the Windows tree's tests together with ours.
    file(WRITE ${CMAKE_BINARY_DIR}/windows-tests.cmake
         "subdirs(\"${SUITE_WINDOWS_BINARY_DIR}\")\n")
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY
                 TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/windows-tests.cmake)
endif()

# The fuzz harnesses' own tree.
include(FuzzTreeProject)
