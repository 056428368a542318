# Makes the package with cpack into a scratch folder and checks what it
# holds: exactly the files that ship, the 7z.exe link kept a link, the
# Windows binaries stripped; then builds the shipped sample host on its own
# with find_package(Penwick) from the shipped SDK alone, as a host developer
# would.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPACKAGE_NAME=... -P PackageContents.cmake

set(scratch ${BUILD_DIR}/package-test)
file(REMOVE_RECURSE ${scratch})
file(MAKE_DIRECTORY ${scratch})

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
run(${cmake_bin}/cpack -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake -B ${scratch})
set(zip ${scratch}/${PACKAGE_NAME}.zip)
if(NOT EXISTS ${zip})
    message(FATAL_ERROR "cpack made no ${zip}")
endif()

# --- the list ----------------------------------------------------------------

run(${CMAKE_COMMAND} -E tar tvf ${zip})
string(REPLACE "\n" ";" lines "${output}")
set(files)
set(links)
foreach(line IN LISTS lines)
    if(NOT line MATCHES " ${PACKAGE_NAME}/([^ ]+)( -> .*)?$")
        continue()
    endif()
    set(path ${CMAKE_MATCH_1})
    if(line MATCHES "^d" OR path MATCHES "/$")
        continue()
    endif()
    list(APPEND files ${path})
    if(line MATCHES "^l")
        list(APPEND links ${path})
    endif()
endforeach()

set(expected
    README.md
    kdpsetup/kdpsetup
    kdpsetup/7z.exe
    windows/bin/penwick.dll
    windows/bin/libLPLines.dll
    windows/bin/sweepon.exe
    windows/bin/signhost.exe
    windows/bin/kdpsetup.exe
    windows/bin/7z.exe
    windows/include/penwick.h
    windows/include/lplines.h
    windows/lib/libpenwick.dll.a
    windows/lib/penwick.lib
    windows/lib/penwick.def
    windows/lib/cmake/Penwick/PenwickConfig.cmake
    windows/lib/cmake/Penwick/PenwickConfigVersion.cmake)
file(GLOB_RECURSE docs RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/docs/*)
list(APPEND expected ${docs})
file(GLOB_RECURSE sample RELATIVE ${SOURCE_DIR}/penwick ${SOURCE_DIR}/penwick/samples/signhost/*)
list(FILTER sample EXCLUDE REGEX "^samples/signhost/tests/")
list(TRANSFORM sample PREPEND windows/)
list(APPEND expected ${sample})

set(missing ${expected})
list(REMOVE_ITEM missing ${files})
set(unexpected ${files})
list(REMOVE_ITEM unexpected ${expected})
if(missing OR unexpected)
    message(FATAL_ERROR "package contents differ\n  missing: ${missing}\n  not expected: ${unexpected}")
endif()
if(NOT links STREQUAL "kdpsetup/7z.exe")
    message(FATAL_ERROR "links in the package: '${links}' (expected kdpsetup/7z.exe only)")
endif()

# --- the files -----------------------------------------------------------------

run(${CMAKE_COMMAND} -E chdir ${scratch} ${CMAKE_COMMAND} -E tar xf ${zip})
set(package ${scratch}/${PACKAGE_NAME})
file(READ_SYMLINK ${package}/kdpsetup/7z.exe seven_zip)
if(NOT EXISTS ${seven_zip})
    message(FATAL_ERROR "kdpsetup/7z.exe points to ${seven_zip}, which does not exist")
endif()

find_program(objdump i686-w64-mingw32-objdump REQUIRED)
foreach(binary IN ITEMS penwick.dll libLPLines.dll sweepon.exe signhost.exe kdpsetup.exe 7z.exe)
    run(${objdump} -h ${package}/windows/bin/${binary})
    if(output MATCHES "\\.debug_")
        message(FATAL_ERROR "${binary} is not stripped")
    endif()
endforeach()
run(${objdump} -p ${package}/windows/bin/penwick.dll)
foreach(export IN ITEMS InitSDK UninitSDK InitCanvas GetCanvasDC GetDrawPathPoint IsCanvasDrawed)
    if(NOT output MATCHES "[ \t]${export}\n")
        message(FATAL_ERROR "penwick.dll in the package does not export ${export}")
    endif()
endforeach()

# --- the sample, built from the package's SDK alone ------------------------------------

run(${CMAKE_COMMAND} -S ${package}/windows/samples/signhost -B ${scratch}/sample-build -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_TOOLCHAIN_FILE=${SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_PREFIX_PATH=${package}/windows)
run(${CMAKE_COMMAND} --build ${scratch}/sample-build)
# Penwick::penwick gives mingw its own import library, not penwick.lib.
file(READ ${scratch}/sample-build/build.ninja sample_build)
if(NOT sample_build MATCHES "windows/lib/libpenwick\\.dll\\.a" OR sample_build MATCHES "penwick\\.lib")
    message(FATAL_ERROR "the sample built with mingw did not link libpenwick.dll.a alone")
endif()
foreach(file IN ITEMS signhost.exe penwick.dll libLPLines.dll)
    if(NOT EXISTS ${scratch}/sample-build/${file})
        message(FATAL_ERROR "the sample built from the package has no ${file} beside it")
    endif()
endforeach()
run(${objdump} -p ${scratch}/sample-build/signhost.exe)
if(NOT output MATCHES "DLL Name: penwick.dll" OR NOT output MATCHES "InitCanvas")
    message(FATAL_ERROR "the sample built from the package does not import penwick.dll's InitCanvas")
endif()

file(REMOVE_RECURSE ${scratch})
message(STATUS "${PACKAGE_NAME}.zip holds what ships; the sample builds from it")
