# The Penwick SDK for CMake hosts:
#
#   find_package(Penwick 1.0 REQUIRED)
#   target_link_libraries(myhost PRIVATE Penwick::penwick)
#
# Penwick::penwick carries penwick.h (and lplines.h, the layout of a recorded
# point) and the import library for the compiler in use: penwick.lib for
# Microsoft's toolchain and clang-cl, libpenwick.dll.a for mingw. A host ships
# the DLLs in Penwick_RUNTIME_DLLS beside its program: penwick.dll loads
# libLPLines.dll from its own folder.
#
# The SDK is found wherever it was unpacked or installed: this file lies in
# <prefix>/lib/cmake/Penwick, with bin/, include/ and lib/ below <prefix>.
# PenwickConfigVersion.cmake refuses 64-bit builds: penwick.dll is 32-bit.

get_filename_component(_penwick_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
    set(_penwick_import_library "${_penwick_prefix}/lib/penwick.lib")
else()
    set(_penwick_import_library "${_penwick_prefix}/lib/libpenwick.dll.a")
endif()

if(NOT TARGET Penwick::penwick)
    add_library(Penwick::penwick SHARED IMPORTED)
    set_target_properties(Penwick::penwick PROPERTIES
        IMPORTED_LOCATION "${_penwick_prefix}/bin/penwick.dll"
        IMPORTED_IMPLIB "${_penwick_import_library}"
        INTERFACE_INCLUDE_DIRECTORIES "${_penwick_prefix}/include")
endif()

set(Penwick_RUNTIME_DLLS "${_penwick_prefix}/bin/penwick.dll" "${_penwick_prefix}/bin/libLPLines.dll")

foreach(_penwick_file IN ITEMS "${_penwick_import_library}" ${Penwick_RUNTIME_DLLS}
                               "${_penwick_prefix}/include/penwick.h")
    if(NOT EXISTS "${_penwick_file}")
        set(Penwick_FOUND FALSE)
        set(Penwick_NOT_FOUND_MESSAGE "the SDK in ${_penwick_prefix} has no ${_penwick_file}")
    endif()
endforeach()
unset(_penwick_file)
unset(_penwick_import_library)
unset(_penwick_prefix)
