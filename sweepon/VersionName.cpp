#include "VersionName.h"

namespace sweepon {

namespace {

constexpr std::uint8_t kWorkstation = 1;

std::wstring NameOfVersion6(const CompatibilityReport& report)
{
    const bool workstation = report.productType == kWorkstation;
    switch (report.minor) {
    case 1: return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
    case 0: return workstation ? L"Windows Vista" : L"Windows Server 2008";
    default: return {};
    }
}

// "Windows Home Server" (suite mask 0x8000) and "Windows XP x64 Edition"
// (64-bit workstation) are 5.2 systems too, but the R2 metric already names
// every 5.2 system, so neither name can ever come out: they are not tested.
std::wstring NameOfVersion5(const CompatibilityReport& report, bool serverR2)
{
    switch (report.minor) {
    case 2: return serverR2 ? L"Windows Server 2003 R2" : L"Windows Server 2003";
    case 1: return L"Windows XP";
    case 0: return L"Windows 2000";
    default: return {};
    }
}

std::wstring NameOfVersion4(const CompatibilityReport& report)
{
    switch (report.minor) {
    case 90: return L"Windows Me";
    case 10: return L"Windows 98";
    case 0: return L"Windows 95";
    default: return {};
    }
}

}  // namespace

bool KernelVersionAtLeast(const std::optional<KernelReport>& kernel,
                          std::uint16_t major, std::uint16_t minor)
{
    if (!kernel) {
        return false;
    }
    if (kernel->major != major) {
        return kernel->major > major;
    }
    return kernel->minor >= minor;
}

std::wstring NameWindowsVersion(const VersionReports& reports)
{
    if (!reports.compatibility) {
        return {};
    }
    // The kernel decides from 8 on, whatever the manifest lets
    // GetVersionExW admit to.
    if (KernelVersionAtLeast(reports.kernel, 10, 0)) {
        return L"Windows 10";
    }
    if (KernelVersionAtLeast(reports.kernel, 6, 3)) {
        return L"Windows 8.1";
    }
    if (KernelVersionAtLeast(reports.kernel, 6, 2)) {
        return L"Windows 8";
    }
    const CompatibilityReport& report = *reports.compatibility;
    switch (report.major) {
    case 6: return NameOfVersion6(report);
    case 5: return NameOfVersion5(report, reports.serverR2);
    case 4: return NameOfVersion4(report);
    default: return {};
    }
}

}  // namespace sweepon
