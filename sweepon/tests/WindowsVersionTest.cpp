// The Win32 binding of the version naming, on the versions Wine can be.
#include "RunAsWindowsVersion.h"
#include "StartMenuFolder.h"
#include "WindowsVersion.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

namespace {

using wintest::WindowsVersion;

std::string ProbeAs(WindowsVersion version)
{
    const wintest::VersionedProgram probe(wintest::ProgramFolder() + L"sweepon_version_probe.exe",
                                          version);
    EXPECT_TRUE(probe.IsReady());
    const wintest::ProgramResult result = probe.Run();
    EXPECT_TRUE(result.finished);
    return result.output.substr(0, result.output.find_first_of("\r\n"));
}

TEST(WindowsVersionName, FollowsTheKernelFromWindows8On)
{
    EXPECT_EQ(ProbeAs(WindowsVersion::Windows10), "Windows 10|Windows 7 layout|1|1");
    EXPECT_EQ(ProbeAs(WindowsVersion::Windows81), "Windows 8.1|Windows 7 layout|1|0");
    EXPECT_EQ(ProbeAs(WindowsVersion::Windows8), "Windows 8|Windows 7 layout|1|0");
}

TEST(WindowsVersionName, NamesSevenVistaAndTheirServers)
{
    EXPECT_EQ(ProbeAs(WindowsVersion::Windows7), "Windows 7|Windows 7 layout|0|0");
    EXPECT_EQ(ProbeAs(WindowsVersion::Server2008R2), "Windows Server 2008 R2|older layout|0|0");
    EXPECT_EQ(ProbeAs(WindowsVersion::Vista), "Windows Vista|older layout|0|0");
    EXPECT_EQ(ProbeAs(WindowsVersion::Server2008), "Windows Server 2008|older layout|0|0");
}

TEST(WindowsVersionName, NamesXPAndServer2003)
{
    EXPECT_EQ(ProbeAs(WindowsVersion::WindowsXP), "Windows XP|older layout|0|0");
    EXPECT_EQ(ProbeAs(WindowsVersion::Server2003), "Windows Server 2003|older layout|0|0");
}

TEST(IsWindowsVersionAtLeast, AgreesWithTheKernel)
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const FARPROC entry = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    ASSERT_NE(entry, nullptr);
    OSVERSIONINFOEXW kernel{};
    kernel.dwOSVersionInfoSize = sizeof(kernel);
    reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(entry))(&kernel);
    const auto major = static_cast<WORD>(kernel.dwMajorVersion);
    const auto minor = static_cast<WORD>(kernel.dwMinorVersion);
    EXPECT_TRUE(IsWindowsVersionAtLeast(major, minor));
    EXPECT_TRUE(IsWindowsVersionAtLeast(major, 0));
    EXPECT_FALSE(IsWindowsVersionAtLeast(major, static_cast<WORD>(minor + 1)));
    EXPECT_FALSE(IsWindowsVersionAtLeast(static_cast<WORD>(major + 1), 0));
    EXPECT_TRUE(IsWindowsVersionAtLeast(static_cast<WORD>(major - 1), 99));
}

TEST(StartMenuFolder, IsTheShellsStartMenuPath)
{
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    const std::optional<CString> path = QueryUserStartMenu();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, expected);
    EXPECT_NE(path->back(), L'\\');
}

TEST(StartMenuFolder, AVirtualFolderHasNoPath)
{
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    EXPECT_FALSE(PathOfItemList(computer).has_value());
    CoTaskMemFree(computer);
}

}  // namespace
