#include "WindowsVersion.h"

#include "LookupOnce.h"
#include "VersionName.h"

namespace {

using sweepon::CompatibilityReport;
using sweepon::KernelReport;

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW* version);

static_assert(sizeof(OSVERSIONINFOEXW) == 284, "the extended version record of the platform");

sweepon::LookupOnce<RtlGetVersionFunction> rtlGetVersion;

RtlGetVersionFunction FindRtlGetVersion()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const FARPROC entry = ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    return reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(entry));
}

OSVERSIONINFOEXW EmptyVersionRecord()
{
    OSVERSIONINFOEXW record{};
    record.dwOSVersionInfoSize = sizeof(record);
    return record;
}

std::optional<KernelReport> QueryKernelReport()
{
    const RtlGetVersionFunction getVersion = rtlGetVersion.Get(FindRtlGetVersion);
    if (!getVersion) {
        return std::nullopt;
    }
    OSVERSIONINFOEXW record = EmptyVersionRecord();
    if (getVersion(&record) != 0) {
        return std::nullopt;
    }
    return KernelReport{record.dwMajorVersion, record.dwMinorVersion};
}

std::optional<CompatibilityReport> QueryCompatibilityReport()
{
    OSVERSIONINFOEXW record = EmptyVersionRecord();
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&record))) {
        return std::nullopt;
    }
    return CompatibilityReport{record.dwMajorVersion, record.dwMinorVersion, record.wSuiteMask,
                               record.wProductType};
}

}  // namespace

bool IsWindowsVersionAtLeast(WORD major, WORD minor)
{
    return sweepon::KernelVersionAtLeast(QueryKernelReport(), major, minor);
}

CString GetWindowsVersionName()
{
    // A failing compatibility report names nothing, so nothing else is asked.
    sweepon::VersionReports reports;
    reports.compatibility = QueryCompatibilityReport();
    if (!reports.compatibility) {
        return {};
    }
    reports.kernel = QueryKernelReport();
    reports.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    return sweepon::NameWindowsVersion(reports);
}
