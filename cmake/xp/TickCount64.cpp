// Lets the shipped programs and DLLs load on Windows XP.
//
// The toolchain's thread library (winpthread, linked in by the C++ runtime)
// imports GetTickCount64, which XP's kernel32 lacks: the loader would refuse
// the whole program. Defining the import's address slot here keeps the
// linker from taking kernel32's, and the slot leads to a stand-in that uses
// the real function wherever there is one.
#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI TickCount64()
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC entry = kernel ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
    if (entry) {
        return reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(entry))();
    }
    // Wraps after 49.7 days; the thread library only times short waits.
    return GetTickCount();
}

}  // namespace

extern "C" {
TickCount64Function suiteTickCount64Import __asm__("__imp__GetTickCount64@0") = &TickCount64;
}
