# Reads penwick.lib, the import library for Microsoft's toolchain, member by
# member: each export of penwick.def must be there as the symbols an MSVC
# host's compiler asks for (_Name@N and __imp__Name@N), importing the
# undecorated name penwick.dll exports, and nothing else may be.
#   cmake -DLIBRARY=penwick.lib -DDEF=penwick.def -P MsvcImportLibrary.cmake

find_program(readobj NAMES llvm-readobj llvm-readobj-14 REQUIRED)
execute_process(COMMAND ${readobj} ${LIBRARY} RESULT_VARIABLE status OUTPUT_VARIABLE members)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${readobj} cannot read ${LIBRARY}")
endif()

# "File: penwick.dll / Format: COFF-import-file / Type: code /
#  Name type: undecorate / Symbol: __imp__X@N / Symbol: _X@N", one per export.
string(REGEX MATCHALL "File: [^\n]+\nFormat: COFF-import-file\nType: [a-z]+\nName type: [a-z]+\nSymbol: [^\n]+\nSymbol: [^\n]+"
       imports "${members}")
set(found)
foreach(entry IN LISTS imports)
    string(REGEX MATCH "File: ([^\n]+)\n.*Type: ([a-z]+)\nName type: ([a-z]+)\nSymbol: ([^\n]+)\nSymbol: ([^\n]+)"
           _ "${entry}")
    set(shape "${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} ${CMAKE_MATCH_5}")
    list(APPEND found "${shape}")
endforeach()

file(STRINGS ${DEF} exports REGEX "^[ \t]+[A-Za-z]+@[0-9]+")
set(expected)
foreach(line IN LISTS exports)
    string(REGEX MATCH "([A-Za-z]+)@([0-9]+)" _ "${line}")
    # Undecorated on import: the DLL exports the plain name.
    list(APPEND expected "penwick.dll code undecorate __imp__${CMAKE_MATCH_1}@${CMAKE_MATCH_2} _${CMAKE_MATCH_1}@${CMAKE_MATCH_2}")
endforeach()
list(LENGTH expected count)
if(NOT count EQUAL 21)
    message(FATAL_ERROR "penwick.def lists ${count} exports, not 21")
endif()

list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
    set(missing ${expected})
    list(REMOVE_ITEM missing ${found})
    set(unexpected ${found})
    list(REMOVE_ITEM unexpected ${expected})
    message(FATAL_ERROR "penwick.lib differs from penwick.def\n  missing: ${missing}\n  not expected: ${unexpected}")
endif()
message(STATUS "penwick.lib imports the ${count} exports of penwick.def by their plain names")
