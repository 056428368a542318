#include "RunAsWindowsVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace wintest {
namespace {

std::wstring Probe()
{
    return ProgramFolder() + L"suite_version_probe.exe";
}

std::string KernelLine(WindowsVersion version)
{
    const VersionedProgram probe(Probe(), version);
    EXPECT_TRUE(probe.IsReady());
    const ProgramResult result = probe.Run();
    EXPECT_TRUE(result.finished);
    // The probe writes in text mode: lines end with CR LF.
    return result.output.substr(0, result.output.find_first_of("\r\n"));
}

// rtl <major>.<minor> <product type: 1 workstation, 3 server>
TEST(RunAsWindowsVersion, RtlGetVersionFollowsThePerProgramSetting)
{
    EXPECT_EQ(KernelLine(WindowsVersion::WindowsXP), "rtl 5.1 1");
    EXPECT_EQ(KernelLine(WindowsVersion::Windows7), "rtl 6.1 1");
    EXPECT_EQ(KernelLine(WindowsVersion::Windows10), "rtl 10.0 1");
}

TEST(RunAsWindowsVersion, ServersAndTheOtherReleases)
{
    EXPECT_EQ(KernelLine(WindowsVersion::Server2003), "rtl 5.2 3");
    EXPECT_EQ(KernelLine(WindowsVersion::Vista), "rtl 6.0 1");
    EXPECT_EQ(KernelLine(WindowsVersion::Server2008), "rtl 6.0 3");
    EXPECT_EQ(KernelLine(WindowsVersion::Server2008R2), "rtl 6.1 3");
    EXPECT_EQ(KernelLine(WindowsVersion::Windows8), "rtl 6.2 1");
    EXPECT_EQ(KernelLine(WindowsVersion::Windows81), "rtl 6.3 1");
}

TEST(RunAsWindowsVersion, CompatibilityReportStopsAt62WithoutAManifest)
{
    const VersionedProgram probe(Probe(), WindowsVersion::Windows10);
    const ProgramResult result = probe.Run();
    EXPECT_NE(result.output.find("compat 6.2 1"), std::string::npos) << result.output;
}

TEST(RunAsWindowsVersion, ProgramsRunningTogetherKeepTheirOwnVersions)
{
    std::vector<std::string> lines(6);
    std::vector<std::thread> runs;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        runs.emplace_back([&lines, i] {
            const VersionedProgram probe(Probe(), i % 2 ? WindowsVersion::WindowsXP
                                                        : WindowsVersion::Windows10);
            lines[i] = probe.Run().output;
        });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(i % 2 ? "rtl 5.1 " : "rtl 10.0 ", 0), 0u) << lines[i];
    }
}

TEST(RunAsWindowsVersion, TheCopyAndItsSettingGoAway)
{
    std::wstring copy;
    std::wstring name;
    {
        const VersionedProgram probe(Probe(), WindowsVersion::WindowsXP);
        ASSERT_TRUE(probe.IsReady());
        copy = probe.Path();
        name = copy.substr(copy.find_last_of(L'\\') + 1);
        EXPECT_NE(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    HKEY key = nullptr;
    const std::wstring path = L"Software\\Wine\\AppDefaults\\" + name;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(RunAsWindowsVersion, AProgramThatDoesNotEndIsEnded)
{
    const VersionedProgram probe(Probe(), WindowsVersion::Windows7);
    ASSERT_TRUE(probe.IsReady());
    const ProgramResult result = probe.Run(L"hang", 500);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.finished);
    EXPECT_NE(result.output.find("rtl 6.1 1"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace wintest
