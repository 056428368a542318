# The packages the MSI tests read and install, made from this build tree's
# install (never shipped: tools/package makes those from a Release tree):
#   WORK/layout/      cmake --install of the tree, stripped
#   WORK/old.msi      version VERSION
#   WORK/new.msi      version NEXT_VERSION, to upgrade to
#   WORK/rebuilt.msi  version NEXT_VERSION again (another product code)
#   WORK/driver.7z    the sample key driver, for kdpsetup.exe to install
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=... -DVERSION=... -DNEXT_VERSION=... -P MakeTestPackages.cmake

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}\n${output}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/layout --strip)
run(${SOURCE_DIR}/packaging/make-msi ${WORK}/layout ${VERSION} ${WORK}/old.msi)
run(${SOURCE_DIR}/packaging/make-msi ${WORK}/layout ${NEXT_VERSION} ${WORK}/new.msi)
run(${SOURCE_DIR}/packaging/make-msi ${WORK}/layout ${NEXT_VERSION} ${WORK}/rebuilt.msi)
run(${CMAKE_COMMAND} -E chdir ${SOURCE_DIR}/kdpsetup/sample/driver 7zz a -bso0 -bsp0 ${WORK}/driver.7z .)
message(STATUS "made ${WORK}/old.msi (${VERSION}) and new.msi (${NEXT_VERSION})")
