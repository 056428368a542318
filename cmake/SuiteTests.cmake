# Test helpers shared by the deliverables' CMakeLists.

# suite_native_test(<target> <sources>... [LIBS <libs>...])
# A GoogleTest executable of the native tree; each test case becomes a CTest
# test named after the deliverable's prefix.
function(suite_native_test target)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main)
    suite_warnings(${target})
    gtest_discover_tests(${target} TEST_PREFIX "${target}." DISCOVERY_MODE PRE_TEST
                         PROPERTIES LABELS native TIMEOUT 120)
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
    if(ARG_DESKTOP)
        set_tests_properties(${target} PROPERTIES RESOURCE_LOCK desktop)
    endif()
endfunction()
