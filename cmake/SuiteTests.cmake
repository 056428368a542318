# Test helpers shared by the deliverables' CMakeLists.

# suite_native_test(<target> <sources>... [LIBS <libs>...] [LABEL <label>])
# A GoogleTest executable of the native tree; each test case becomes a CTest
# test named after the deliverable's prefix, labelled "native" (or LABEL:
# "wine" for a native test that runs Windows programs under Wine).
function(suite_native_test target)
    cmake_parse_arguments(ARG "" "LABEL" "LIBS" ${ARGN})
    set(timeout 120)
    if(NOT ARG_LABEL)
        set(ARG_LABEL native)
    elseif(ARG_LABEL STREQUAL "wine")
        set(timeout 300) # as the Windows tree's: the first run may make the Wine prefix
    endif()
    add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main)
    suite_warnings(${target})
    gtest_discover_tests(${target} TEST_PREFIX "${target}." DISCOVERY_MODE PRE_TEST
                         PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${timeout})
endfunction()

# suite_require_gtest_end(<test>...)
# A program that crashes under Wine can exit with status 0 once Wine's
# debugger has reported the fault, so a Wine test passes only when
# GoogleTest printed its closing line, and fails on Wine's fault report.
function(suite_require_gtest_end)
    set_tests_properties(${ARGN} PROPERTIES
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled (exception|page fault)")
endfunction()

# suite_wine_test(<target> <sources>... [LIBS <libs>...] [DESKTOP])
# A GoogleTest executable of the Windows tree, run under Wine as one CTest
# test. DESKTOP marks tests that move the cursor, press buttons or show
# message boxes: CTest never runs two of them at once.
function(suite_wine_test target)
    cmake_parse_arguments(ARG "DESKTOP" "" "LIBS" ${ARGN})
    add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} gtest_main)
    suite_warnings(${target})
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS wine TIMEOUT 300)
    suite_require_gtest_end(${target})
    if(ARG_DESKTOP)
        set_tests_properties(${target} PROPERTIES RESOURCE_LOCK desktop)
    endif()
endfunction()
