# cmake -DOBJDUMP=... -DPROGRAM=kdpsetup.exe -P CheckProgramImage.cmake
# Fails unless PROGRAM is what ships: a GUI-subsystem program (no console)
# carrying the icon group IDI_ICON1 with four images and an asInvoker
# manifest, and needing no DLL but the system's (Qt and the C++ runtime are
# linked in).
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump -p ${PROGRAM} failed")
endif()
set(failures "")

if(NOT dump MATCHES "\nSubsystem[ \t]+00000002[ \t]+\\(Windows GUI\\)")
    string(APPEND failures "not a GUI-subsystem program\n")
endif()

# Every DLL it imports from must come with Windows.
set(system_dlls advapi32 comctl32 comdlg32 crypt32 gdi32 kernel32 mpr msvcrt netapi32 ntdll ole32
    oleaut32 shell32 shlwapi user32 userenv uxtheme version winmm ws2_32)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(REMOVE_DUPLICATES imports)
foreach(import IN LISTS imports)
    string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]$" "\\1" dll "${import}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        string(APPEND failures "imports ${import}, which Windows does not have\n")
    endif()
endforeach()

# The resource directory, as objdump prints it: a type (3 icon, 14 icon
# group, 24 manifest) and below it the names or ids of its resources, each
# with its language entry and data leaf.
string(REGEX REPLACE ".*The .rsrc Resource Directory section:" "" resources "${dump}")
string(REGEX MATCH "Entry: ID: 0x000003, [^\n]*\n[^\n]*Name Table:[^\n]*IDs: ([0-9]+)" icons "${resources}")
if(NOT CMAKE_MATCH_1 EQUAL 4)
    string(APPEND failures "holds '${CMAKE_MATCH_1}' icon images, not 4\n")
endif()
# A group directory is 6 bytes and 14 per image.
string(REGEX MATCH "Entry: ID: 0x00000e, [^\n]*\n[^\n]*\n[^\n]*name: [^\n]*: ([A-Za-z0-9_]+),[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*Size: 0x([0-9a-f]+)"
       group "${resources}")
if(NOT CMAKE_MATCH_1 STREQUAL "IDI_ICON1" OR NOT CMAKE_MATCH_2 STREQUAL "00003e")
    string(APPEND failures "no icon group IDI_ICON1 of 4 images (found '${CMAKE_MATCH_1}', size 0x${CMAKE_MATCH_2})\n")
endif()
if(NOT resources MATCHES "Entry: ID: 0x000018, [^\n]*\n[^\n]*\n[^\n]*Entry: ID: 0x000001,")
    string(APPEND failures "no manifest (resource 1 of type 24)\n")
endif()
file(STRINGS ${PROGRAM} levels REGEX "requestedExecutionLevel")
if(NOT levels MATCHES "level=\"asInvoker\"")
    string(APPEND failures "the manifest does not ask for asInvoker\n")
endif()

if(failures)
    message(FATAL_ERROR "${PROGRAM}:\n${failures}")
endif()
message(STATUS "${PROGRAM}: GUI subsystem, IDI_ICON1 with 4 images, asInvoker manifest, system DLLs only")
