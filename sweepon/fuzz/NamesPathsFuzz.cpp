// Sweepon's version naming on any version reports, and its path building
// on any Start Menu path and folder entry name.
// Promises: no crash; a version gets one of the fixed names or none; every
// candidate folder ends with one backslash; a path without its trailing
// backslashes stays so when asked again, and loses no more than them.

#include "FolderPaths.h"
#include "VersionName.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using namespace sweepon;

[[noreturn]] void broken(const char* promise)
{
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

const std::set<std::wstring> kNames = {
    L"", L"Windows 10", L"Windows 8.1", L"Windows 8", L"Windows 7", L"Windows Server 2008 R2",
    L"Windows Vista", L"Windows Server 2008", L"Windows Server 2003 R2", L"Windows Server 2003",
    L"Windows XP", L"Windows 2000", L"Windows Me", L"Windows 98", L"Windows 95"};

std::wstring text(FuzzedDataProvider& input, std::size_t maxLength)
{
    std::wstring result;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        // Mostly the characters paths are made of.
        result += input.ConsumeBool() ? L"\\:.C 开 \xd800"[input.ConsumeIntegralInRange(0, 8)]
                                      : static_cast<wchar_t>(input.ConsumeIntegral<std::uint16_t>());
    }
    return result;
}

void checkVersionName(FuzzedDataProvider& input)
{
    VersionReports reports;
    if (input.ConsumeBool())
        reports.compatibility = CompatibilityReport{input.ConsumeIntegralInRange<std::uint32_t>(0, 12),
                                                    input.ConsumeIntegralInRange<std::uint32_t>(0, 100),
                                                    input.ConsumeIntegral<std::uint16_t>(),
                                                    input.ConsumeIntegral<std::uint8_t>()};
    if (input.ConsumeBool())
        reports.kernel = KernelReport{input.ConsumeIntegral<std::uint32_t>(), input.ConsumeIntegral<std::uint32_t>()};
    reports.serverR2 = input.ConsumeBool();
    if (!kNames.count(NameWindowsVersion(reports)))
        broken("a version gets one of the fixed names or none");
    KernelVersionAtLeast(reports.kernel, input.ConsumeIntegral<std::uint16_t>(), input.ConsumeIntegral<std::uint16_t>());
}

void checkPaths(FuzzedDataProvider& input)
{
    const std::wstring startMenu = text(input, 300);
    const std::wstring versionName = input.ConsumeBool() ? *std::next(kNames.begin(), input.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1))
                                                         : text(input, 20);
    for (const std::wstring& folder : BuildCandidateFolders(startMenu, LayoutForVersionName(versionName))) {
        if (folder.empty() || folder.back() != L'\\')
            broken("a candidate folder ends with a backslash");
        FitsPathLimit(folder);
        const std::wstring name = text(input, 40);
        CountPattern(folder);
        CountSubfolder(folder, name);
        RemovalPattern(folder);
        RemovalEntry(folder, name);
    }
    DrivePart(startMenu);
    const std::wstring trimmed = WithoutTrailingBackslashes(startMenu);
    if (WithoutTrailingBackslashes(trimmed) != trimmed || startMenu.compare(0, trimmed.size(), trimmed) != 0
        || startMenu.find_first_not_of(L'\\', trimmed.size()) != std::wstring::npos)
        broken("only trailing backslashes go, and the result keeps");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    checkVersionName(input);
    checkPaths(input);
    return 0;
}
