# cmake -DOBJDUMP=... -DBINARIES=a.dll;b.exe -P CheckImports.cmake
# Fails when a binary imports a function that Windows XP's system DLLs lack:
# the loader would refuse the binary there. The list holds what the mingw
# runtime and everyday code tend to pull in; anything newer that the code
# needs is looked up at run time instead.
set(newer_than_xp
    GetTickCount64 GetFileInformationByHandleEx SetFileInformationByHandle
    CreateSymbolicLinkW CreateSymbolicLinkA RegisterApplicationRestart
    InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
    InitializeConditionVariable SleepConditionVariableCS WakeConditionVariable
    InitOnceExecuteOnce FlsAlloc FlsGetValue FlsSetValue GetThreadId
    GetLocaleInfoEx CompareStringEx GetErrorMode GetFinalPathNameByHandleW
    SetProcessDPIAware ChangeWindowMessageFilter RegisterTouchWindow
    UnregisterTouchWindow GetTouchInputInfo)

set(failures "")
foreach(binary IN LISTS BINARIES)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        string(APPEND failures "${binary}: objdump failed\n")
        continue()
    endif()
    # Only the import tables: "DLL Name:" sections up to the export table.
    string(REGEX REPLACE ".*The Import Tables" "" imports "${dump}")
    string(REGEX REPLACE "The Export Tables.*" "" imports "${imports}")
    foreach(name IN LISTS newer_than_xp)
        if(imports MATCHES "[ \t]${name}\n")
            string(APPEND failures "${binary} imports ${name}, which Windows XP lacks\n")
        endif()
    endforeach()
    if(NOT imports MATCHES "DLL Name: KERNEL32.dll")
        string(APPEND failures "${binary}: no import table found\n")
    endif()
    message(STATUS "checked ${binary}")
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}")
endif()
