# What ships, and the ZIP that carries it.
#
#   windows/bin/       penwick.dll, libLPLines.dll, sweepon.exe, signhost.exe,
#                      kdpsetup.exe and the 7z.exe it starts
#   windows/include/   penwick.h (and lplines.h, which defines the point
#                      record GetDrawPathPoint fills)
#   windows/lib/       the import libraries (libpenwick.dll.a for mingw,
#                      penwick.lib for Microsoft's toolchain), penwick.def,
#                      cmake/Penwick/ (the CMake package: find_package(Penwick))
#   windows/samples/signhost/   the sample host's sources, to copy
#   kdpsetup/          the Linux kdpsetup (this machine's build) and its 7z.exe link
#   README.md, docs/
#
# The Windows tree installs its own files; the native tree installs kdpsetup
# and runs the Windows tree's install script as part of its own, so
# `cmake --install <build>` and `cpack` (in <build>) cover both trees.
# Binaries are stripped in the package (CPACK_STRIP_FILES) and with
# `cmake --install --strip`.

if(CMAKE_CROSSCOMPILING)
    if(TARGET penwick)
        # The import library is the one dlltool remade after the link
        # (it keeps the decorated names a host's compiler asks for).
        install(TARGETS penwick RUNTIME DESTINATION windows/bin ARCHIVE DESTINATION windows/lib)
        install(FILES ${CMAKE_SOURCE_DIR}/penwick/include/penwick.h DESTINATION windows/include)
        # penwick.lib and the package's version file are made beside the
        # target (penwick/PenwickWindows.cmake).
        get_target_property(penwick_binary_dir penwick BINARY_DIR)
        install(FILES ${CMAKE_SOURCE_DIR}/penwick/penwick.def ${penwick_binary_dir}/penwick.lib
                DESTINATION windows/lib)
        install(FILES ${CMAKE_SOURCE_DIR}/penwick/sdk/PenwickConfig.cmake
                      ${penwick_binary_dir}/PenwickConfigVersion.cmake
                DESTINATION windows/lib/cmake/Penwick)
    endif()
    if(TARGET LPLines)
        # Hosts never link the engine: penwick.dll loads it. Its import
        # library stays out of the default install.
        install(TARGETS LPLines RUNTIME DESTINATION windows/bin
                ARCHIVE DESTINATION windows/lib COMPONENT engine_import_library EXCLUDE_FROM_ALL)
        install(FILES ${CMAKE_SOURCE_DIR}/lplines/include/lplines.h DESTINATION windows/include)
    endif()
    if(TARGET sweepon)
        install(TARGETS sweepon RUNTIME DESTINATION windows/bin)
    endif()
    if(TARGET kdpsetup)
        # kdpsetup.exe starts the 7z.exe beside it.
        install(TARGETS kdpsetup RUNTIME DESTINATION windows/bin)
        install(PROGRAMS $<TARGET_FILE_DIR:kdpsetup>/7z.exe DESTINATION windows/bin)
    endif()
    if(TARGET signhost)
        install(TARGETS signhost RUNTIME DESTINATION windows/bin)
        install(DIRECTORY ${CMAKE_SOURCE_DIR}/penwick/samples/signhost/
                DESTINATION windows/samples/signhost
                PATTERN tests EXCLUDE)
    endif()
    # Everything installed above and nothing else (no tests): what
    # tools/package builds in this tree.
    add_custom_target(suite_shipped)
    foreach(target IN ITEMS penwick LPLines sweepon signhost kdpsetup)
        if(TARGET ${target})
            add_dependencies(suite_shipped ${target})
        endif()
    endforeach()
    return()
endif()

if(TARGET kdpsetup)
    install(TARGETS kdpsetup RUNTIME DESTINATION kdpsetup)
    # Installed as the link it is: kdpsetup runs the 7-Zip it points to.
    install(FILES $<TARGET_FILE_DIR:kdpsetup>/7z.exe DESTINATION kdpsetup)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs)

if(SUITE_WINDOWS_TREE)
    # The Windows tree's install script takes this install's prefix,
    # DESTDIR and strip setting, as its own subdirectories' scripts do.
    install(CODE "include(\"${SUITE_WINDOWS_BINARY_DIR}/cmake_install.cmake\")")
endif()

set(CPACK_PACKAGE_NAME SignatureSuite)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Signature desktop suite: kdpsetup, penwick.dll with libLPLines.dll, sweepon.exe")
set(suite_package_name "SignatureSuite-${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME ${suite_package_name})
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)

# The package's contents, checked by making it (only when the whole suite
# is built, the package the list below describes).
set(suite_complete ON)
foreach(deliverable IN ITEMS kdpsetup lplines penwick sweepon)
    if(NOT deliverable IN_LIST SUITE_DELIVERABLES)
        set(suite_complete OFF)
    endif()
endforeach()
if(suite_complete AND SUITE_WINDOWS_TREE)
    add_test(NAME suite_package_test
             COMMAND ${CMAKE_COMMAND}
                     -DBUILD_DIR=${CMAKE_BINARY_DIR}
                     -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                     -DPACKAGE_NAME=${suite_package_name}
                     -P ${CMAKE_SOURCE_DIR}/cmake/tests/PackageContents.cmake)
    set_tests_properties(suite_package_test PROPERTIES LABELS native TIMEOUT 300)

    # The MSI (packaging/), made from this tree's install in two versions,
    # its tables read, and installed, upgraded, repaired and uninstalled
    # under Wine's msiexec in prefixes of its own.
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(msi_work ${CMAKE_BINARY_DIR}/msi-test)
    math(EXPR next_minor "${PROJECT_VERSION_MINOR} + 1")
    add_test(NAME suite_msi_packages
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                     -DWORK=${msi_work} -DVERSION=${PROJECT_VERSION}
                     -DNEXT_VERSION=${PROJECT_VERSION_MAJOR}.${next_minor}.0
                     -P ${CMAKE_SOURCE_DIR}/packaging/tests/MakeTestPackages.cmake)
    set_tests_properties(suite_msi_packages PROPERTIES
        LABELS native TIMEOUT 300 FIXTURES_SETUP suite_msi)
    add_test(NAME suite_msi_tables_test
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/tests/msi_tables_test.py
                     ${msi_work}/old.msi ${msi_work}/layout)
    add_test(NAME suite_msi_install_test
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/tests/msi_install_test.py
                     ${msi_work}/wine ${msi_work}/layout ${msi_work}/driver.7z
                     ${msi_work}/old.msi ${msi_work}/new.msi ${msi_work}/rebuilt.msi)
    set_tests_properties(suite_msi_tables_test PROPERTIES
        LABELS native TIMEOUT 120 FIXTURES_REQUIRED suite_msi)
    set_tests_properties(suite_msi_install_test PROPERTIES
        LABELS wine TIMEOUT 600 FIXTURES_REQUIRED suite_msi)
endif()
