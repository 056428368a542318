// Prints what the platform reports about its version, for the helper's test:
//     rtl <major>.<minor> <product type>
//     compat <major>.<minor> <product type>
// With the argument "hang" it then waits for ever.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW* version);

OSVERSIONINFOEXW EmptyRecord()
{
    OSVERSIONINFOEXW record{};
    record.dwOSVersionInfoSize = sizeof(record);
    return record;
}

}  // namespace

int main(int argc, char** argv)
{
    const FARPROC entry = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(entry));
    OSVERSIONINFOEXW kernel = EmptyRecord();
    if (rtlGetVersion && rtlGetVersion(&kernel) == 0) {
        std::printf("rtl %lu.%lu %u\n", kernel.dwMajorVersion, kernel.dwMinorVersion,
                    static_cast<unsigned>(kernel.wProductType));
    }
    OSVERSIONINFOEXW compat = EmptyRecord();
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&compat))) {
        std::printf("compat %lu.%lu %u\n", compat.dwMajorVersion, compat.dwMinorVersion,
                    static_cast<unsigned>(compat.wProductType));
    }
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "hang") == 0) {
        Sleep(INFINITE);
    }
    return 0;
}
