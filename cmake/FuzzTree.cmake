# Settings of the fuzz tree (build/fuzz, made by FuzzTreeProject.cmake): the
# deliverables' portable code, built by clang with libFuzzer, AddressSanitizer
# and UBSan, and one libFuzzer harness per parser or piece of portable logic
# that takes outside input. Each deliverable's CMakeLists adds its fuzz/
# folder here, and nothing else.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz tree needs clang (libFuzzer): configure it with CMAKE_CXX_COMPILER=clang++-14")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

# How long CTest's smoke run of each harness lasts (tools/fuzz chooses its own).
set(SUITE_FUZZ_SMOKE_SECONDS 20 CACHE STRING "Seconds of each harness's smoke test")

# suite_fuzz_harness(<name> <sources>... [LIBS <libs>...] CORPUS <folder>)
# A libFuzzer program started from the seed inputs in CORPUS (committed,
# never written to), with a CTest smoke run of SUITE_FUZZ_SMOKE_SECONDS.
# harnesses/<name>.txt tells tools/fuzz where the program and its seeds are.
function(suite_fuzz_harness name)
    cmake_parse_arguments(ARG "" "CORPUS" "LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    suite_warnings(${name})
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/harnesses/${name}.txt
         CONTENT "$<TARGET_FILE:${name}>\n${ARG_CORPUS}\n")
    add_test(NAME ${name}_smoke
             COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-run $<TARGET_FILE:${name}> ${ARG_CORPUS}
                     ${SUITE_FUZZ_SMOKE_SECONDS})
    set_tests_properties(${name}_smoke PROPERTIES LABELS fuzz TIMEOUT 180)
endfunction()
