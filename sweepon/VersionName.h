// Naming of the running Windows version from what the platform reports.
// Free of <windows.h>: the Win32 side (WindowsVersion.cpp) only gathers the
// reports and hands them in here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sweepon {

// What GetVersionExW reports; it follows the program's compatibility
// manifest, so on 8.1 and 10 it may still say 6.2.
struct CompatibilityReport {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;  // 1: workstation (VER_NT_WORKSTATION)
};

// What RtlGetVersion reports: the kernel's own version.
struct KernelReport {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

struct VersionReports {
    std::optional<CompatibilityReport> compatibility;  // empty: GetVersionExW failed
    std::optional<KernelReport> kernel;  // empty: no RtlGetVersion, or it failed
    bool serverR2 = false;               // GetSystemMetrics(SM_SERVERR2) != 0
};

// True when the kernel reports at least major.minor; the majors decide
// before the minors. Without a kernel report the answer is false.
bool KernelVersionAtLeast(const std::optional<KernelReport>& kernel,
                          std::uint16_t major, std::uint16_t minor);

// One of the fixed names ("Windows 10", "Windows 7", "Windows XP", ...) or
// the empty text for a version without a name.
std::wstring NameWindowsVersion(const VersionReports& reports);

}  // namespace sweepon
