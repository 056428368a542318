# The Windows tree's part of penwick: the DLL, its test doubles, its Wine
# tests and its benchmark.
#
# penwick.dll loads libLPLines.dll from its own folder, so each engine a
# test runs against gets a folder of its own with a copy of penwick.dll:
#   bin/            the recording engine (tests of calls and arguments)
#   bin-decorated/  a recording engine exporting LPLinesGetCanvasDC only as
#                   _LPLinesGetCanvasDC@8
#   bin-noengine/   no engine at all
#   bin-lplines/    the real engine (when lplines is built too)
#   bin-tablet/     the recording engine and the fake pen tablet
#                   (Wintab32.dll); its tests run with wintab32=n,b
#   bin-tablet-incomplete/  the same with a Wintab32.dll lacking an entry point
#   bench/          the benchmark, with the real engine when there is one,
#                   and the fake pen tablet
#   bin-stress/     the stress suite, with the recording engine and the fake
#                   pen tablet

set(PENWICK_BIN ${CMAKE_CURRENT_BINARY_DIR}/bin)

# The library's insides, also linked straight into the benchmark, which
# times the rendering of single points.
add_library(penwick_win STATIC
    src/win/canvas.cpp src/win/canvas.h
    src/win/debug_print.cpp src/win/debug_print.h
    src/win/draw_thread.cpp src/win/draw_thread.h
    src/win/fault_guard.cpp src/win/fault_guard.h
    src/win/handles.h
    src/win/ink_engine.cpp src/win/ink_engine.h
    src/win/ink_renderer.cpp src/win/ink_renderer.h
    src/win/library.cpp src/win/library.h
    src/win/sdk.cpp src/win/sdk.h
    src/win/tablet.cpp src/win/tablet.h
    src/win/tablet_input.cpp src/win/tablet_input.h
    src/win/wintab.h)
target_include_directories(penwick_win PUBLIC include src)
target_link_libraries(penwick_win PUBLIC penwick_core gdi32 user32)
suite_warnings(penwick_win)

add_library(penwick SHARED include/penwick.h penwick.def src/win/exports.cpp)
target_include_directories(penwick PUBLIC include)
target_link_libraries(penwick PRIVATE penwick_win)
# The .def names the stdcall symbols; --kill-at exports them undecorated.
target_link_options(penwick PRIVATE -Wl,--kill-at)
set_target_properties(penwick PROPERTIES
    PREFIX "" OUTPUT_NAME penwick
    RUNTIME_OUTPUT_DIRECTORY ${PENWICK_BIN})
suite_warnings(penwick)
suite_runs_on_xp(penwick)

# The linker's import library lost the decorated names a host's compiler
# asks for (_InitSDK@0); dlltool makes one that keeps them and imports the
# plain exported names.
find_program(PENWICK_DLLTOOL NAMES ${MINGW_PREFIX}-dlltool REQUIRED)
add_custom_command(TARGET penwick POST_BUILD
    COMMAND ${PENWICK_DLLTOOL} -k -d ${CMAKE_CURRENT_SOURCE_DIR}/penwick.def
            -D penwick.dll -l $<TARGET_LINKER_FILE:penwick>
    COMMENT "Import library for hosts: libpenwick.dll.a"
    VERBATIM)
# The same for Microsoft's toolchain (and clang-cl): penwick.lib, whose
# entries keep the _Name@N symbols and import the undecorated names.
find_program(PENWICK_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
set(PENWICK_MSVC_IMPORT_LIBRARY ${CMAKE_CURRENT_BINARY_DIR}/penwick.lib)
add_custom_command(TARGET penwick POST_BUILD
    COMMAND ${PENWICK_LLVM_DLLTOOL} -m i386 -k -d ${CMAKE_CURRENT_SOURCE_DIR}/penwick.def
            -D penwick.dll -l ${PENWICK_MSVC_IMPORT_LIBRARY}
    BYPRODUCTS ${PENWICK_MSVC_IMPORT_LIBRARY}
    COMMENT "Import library for Microsoft's toolchain: penwick.lib"
    VERBATIM)

# The CMake package of the SDK: find_package(Penwick) gives Penwick::penwick.
include(CMakePackageConfigHelpers)
set(PENWICK_PACKAGE_VERSION_FILE ${CMAKE_CURRENT_BINARY_DIR}/PenwickConfigVersion.cmake)
write_basic_package_version_file(${PENWICK_PACKAGE_VERSION_FILE}
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)

# --- test doubles -----------------------------------------------------------

function(penwick_recording_engine target def_file output_dir)
    add_library(${target} SHARED tests/doubles/recording_engine.cpp tests/doubles/${def_file})
    target_link_libraries(${target} PRIVATE gdi32)
    set_target_properties(${target} PROPERTIES
        PREFIX "" OUTPUT_NAME libLPLines
        RUNTIME_OUTPUT_DIRECTORY ${output_dir}
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target}-implib)
    suite_warnings(${target})
endfunction()

penwick_recording_engine(penwick_recording_engine recording_engine.def ${PENWICK_BIN})
penwick_recording_engine(penwick_recording_engine_decorated recording_engine_decorated.def
                         ${CMAKE_CURRENT_BINARY_DIR}/bin-decorated)

# The fake pen tablet: penwick_fake_tablet(<target> <def file> <dir>).
# It is named like Wine's own Wintab32.dll, which Wine loads instead unless
# the process has the DLL override wintab32=n,b.
function(penwick_fake_tablet target def_file output_dir)
    add_library(${target} SHARED tests/doubles/fake_wintab.cpp tests/doubles/fake_tablet_api.h
                tests/doubles/${def_file})
    target_include_directories(${target} PRIVATE src)
    target_link_libraries(${target} PRIVATE user32)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    set_target_properties(${target} PROPERTIES
        PREFIX "" OUTPUT_NAME Wintab32
        RUNTIME_OUTPUT_DIRECTORY ${output_dir}
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target}-implib)
    suite_warnings(${target})
endfunction()

set(PENWICK_TABLET_BIN ${CMAKE_CURRENT_BINARY_DIR}/bin-tablet)
set(PENWICK_TABLET_INCOMPLETE_BIN ${CMAKE_CURRENT_BINARY_DIR}/bin-tablet-incomplete)
penwick_fake_tablet(penwick_fake_tablet fake_wintab.def ${PENWICK_TABLET_BIN})
penwick_fake_tablet(penwick_fake_tablet_incomplete fake_wintab_incomplete.def ${PENWICK_TABLET_INCOMPLETE_BIN})
penwick_recording_engine(penwick_recording_engine_tablet recording_engine.def ${PENWICK_TABLET_BIN})
penwick_recording_engine(penwick_recording_engine_tablet_incomplete recording_engine.def
                         ${PENWICK_TABLET_INCOMPLETE_BIN})

# penwick.dll copied next to an engine, with copies of the DLLs of any
# further targets given: penwick_copy_library(<dir> <target> [<DLL target>...])
function(penwick_copy_library dir target)
    add_custom_command(OUTPUT ${dir}/penwick.dll
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:penwick> ${dir}/penwick.dll
        DEPENDS penwick $<TARGET_FILE:penwick>
        VERBATIM)
    add_custom_target(${target} DEPENDS ${dir}/penwick.dll)
    foreach(dll IN LISTS ARGN)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${dll}> ${dir}/$<TARGET_FILE_NAME:${dll}>
            VERBATIM)
        add_dependencies(${target} ${dll})
    endforeach()
endfunction()

# --- Wine tests -------------------------------------------------------------

add_library(penwick_test_support STATIC
    tests/wine/test_support.cpp tests/wine/test_support.h
    tests/wine/tablet_support.cpp tests/wine/tablet_support.h
    tests/doubles/recorder_api.h tests/doubles/fake_tablet_api.h)
# It does not link penwick.dll: the stress suite loads and unloads it.
target_include_directories(penwick_test_support PUBLIC tests/wine tests/doubles src include)
target_link_libraries(penwick_test_support PUBLIC gtest gdi32 user32)
suite_warnings(penwick_test_support)

# penwick_wine_test(<target> <dir> <sources>... [DESKTOP] [DEPENDS targets...])
function(penwick_wine_test target dir)
    cmake_parse_arguments(ARG "DESKTOP" "" "DEPENDS" ${ARGN})
    set(desktop)
    if(ARG_DESKTOP)
        set(desktop DESKTOP)
    endif()
    suite_wine_test(${target} ${ARG_UNPARSED_ARGUMENTS} LIBS penwick_test_support penwick ${desktop})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
    if(ARG_DEPENDS)
        add_dependencies(${target} ${ARG_DEPENDS})
    endif()
endfunction()

# A host written in C, to prove the header and the import library from C.
add_library(penwick_c_host STATIC tests/wine/c_host.c)
target_link_libraries(penwick_c_host PRIVATE penwick)
target_compile_options(penwick_c_host PRIVATE -std=c99 -Wall -Wextra -Wpedantic)

penwick_wine_test(penwick_api_test ${PENWICK_BIN}
    tests/wine/api_test.cpp
    tests/wine/lifecycle_test.cpp
    DEPENDS penwick_recording_engine)
target_link_libraries(penwick_api_test PRIVATE penwick_c_host)

penwick_wine_test(penwick_stroke_test ${PENWICK_BIN}
    tests/wine/stroke_test.cpp
    DESKTOP DEPENDS penwick_recording_engine)

penwick_copy_library(${CMAKE_CURRENT_BINARY_DIR}/bin-decorated penwick_copy_decorated)
penwick_wine_test(penwick_decorated_binding_test ${CMAKE_CURRENT_BINARY_DIR}/bin-decorated
    tests/wine/decorated_binding_test.cpp
    DEPENDS penwick_recording_engine_decorated penwick_copy_decorated)

penwick_copy_library(${CMAKE_CURRENT_BINARY_DIR}/bin-noengine penwick_copy_noengine)
penwick_wine_test(penwick_missing_engine_test ${CMAKE_CURRENT_BINARY_DIR}/bin-noengine
    tests/wine/missing_engine_test.cpp
    DEPENDS penwick_copy_noengine)
# Start-up and shut-down once more with Wine's own Wintab32.dll switched off.
add_test(NAME penwick_missing_wintab_test COMMAND penwick_api_test --gtest_filter=Lifecycle.*)
set_tests_properties(penwick_missing_wintab_test PROPERTIES
    LABELS wine TIMEOUT 300 ENVIRONMENT "WINEDLLOVERRIDES=wintab32=d")
suite_require_gtest_end(penwick_missing_wintab_test)

# The pen tablet, through the fake Wintab32.dll.
penwick_copy_library(${PENWICK_TABLET_BIN} penwick_copy_tablet)
penwick_wine_test(penwick_tablet_test ${PENWICK_TABLET_BIN}
    tests/wine/tablet_lifecycle_test.cpp
    DEPENDS penwick_recording_engine_tablet penwick_fake_tablet penwick_copy_tablet)
penwick_wine_test(penwick_tablet_stroke_test ${PENWICK_TABLET_BIN}
    tests/wine/tablet_stroke_test.cpp
    DESKTOP DEPENDS penwick_recording_engine_tablet penwick_fake_tablet penwick_copy_tablet)
penwick_copy_library(${PENWICK_TABLET_INCOMPLETE_BIN} penwick_copy_tablet_incomplete)
penwick_wine_test(penwick_tablet_incomplete_test ${PENWICK_TABLET_INCOMPLETE_BIN}
    tests/wine/tablet_incomplete_test.cpp
    DEPENDS penwick_recording_engine_tablet_incomplete penwick_fake_tablet_incomplete
            penwick_copy_tablet_incomplete)
set_tests_properties(penwick_tablet_test penwick_tablet_stroke_test penwick_tablet_incomplete_test
    PROPERTIES ENVIRONMENT "WINEDLLOVERRIDES=wintab32=n,b")

# penwick.lib, read member by member.
add_test(NAME penwick_msvc_import_library_test
         COMMAND ${CMAKE_COMMAND} -DLIBRARY=${PENWICK_MSVC_IMPORT_LIBRARY}
                 -DDEF=${CMAKE_CURRENT_SOURCE_DIR}/penwick.def
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/sdk/MsvcImportLibrary.cmake)
set_tests_properties(penwick_msvc_import_library_test PROPERTIES LABELS windows TIMEOUT 60)

# The fault guard on its own, against the library's insides.
suite_wine_test(penwick_fault_guard_test tests/wine/fault_guard_test.cpp LIBS penwick_win)

# The real engine, when it is built in this tree.
set(PENWICK_BENCH_ENGINE "recording engine")
set(bench_engine penwick_recording_engine)
if(TARGET LPLines)
    set(PENWICK_BENCH_ENGINE "libLPLines")
    set(bench_engine LPLines)
    set(lplines_dir ${CMAKE_CURRENT_BINARY_DIR}/bin-lplines)
    penwick_copy_library(${lplines_dir} penwick_copy_lplines LPLines)
    penwick_wine_test(penwick_translucent_ink_test ${lplines_dir}
        tests/wine/translucent_ink_test.cpp
        DESKTOP DEPENDS penwick_copy_lplines)
    target_include_directories(penwick_translucent_ink_test PRIVATE $<TARGET_PROPERTY:LPLines,INTERFACE_INCLUDE_DIRECTORIES>)
endif()

# --- benchmark ----------------------------------------------------------------
# Build the Windows tree in Release and run it under Wine: tools/penwick-bench.
# Built with everything else, so a change inside the library that breaks it
# shows at once rather than when someone next measures.

set(bench_dir ${CMAKE_CURRENT_BINARY_DIR}/bench)
add_executable(penwick_bench bench/penwick_bench.cpp)
target_link_libraries(penwick_bench PRIVATE penwick_test_support penwick penwick_win)
set_target_properties(penwick_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
target_compile_definitions(penwick_bench PRIVATE "PENWICK_BENCH_ENGINE=\"${PENWICK_BENCH_ENGINE}\"")
suite_warnings(penwick_bench)
penwick_copy_library(${bench_dir} penwick_copy_bench ${bench_engine} penwick_fake_tablet)
add_dependencies(penwick_bench penwick_copy_bench)

# --- stress suite ---------------------------------------------------------------
# penwick/stress/run (tools/stress) runs it for a minute; CTest for 20 s.

set(stress_dir ${CMAKE_CURRENT_BINARY_DIR}/bin-stress)
add_executable(penwick_stress stress/penwick_stress.cpp)
target_link_libraries(penwick_stress PRIVATE penwick_test_support)
set_target_properties(penwick_stress PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${stress_dir})
suite_warnings(penwick_stress)
penwick_copy_library(${stress_dir} penwick_copy_stress penwick_recording_engine penwick_fake_tablet)
add_dependencies(penwick_stress penwick_copy_stress)
add_test(NAME penwick_stress_short COMMAND penwick_stress --seconds 20)
set_tests_properties(penwick_stress_short PROPERTIES
    LABELS wine TIMEOUT 180 RESOURCE_LOCK desktop
    ENVIRONMENT "WINEDLLOVERRIDES=wintab32=n,b"
    PASS_REGULAR_EXPRESSION "goals met"
    FAIL_REGULAR_EXPRESSION "goal missed;Unhandled (exception|page fault)")
