#include "FolderPaths.h"

#include <gtest/gtest.h>

#include <string>

namespace sweepon {
namespace {

const std::wstring kUserMenu = L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";

TEST(FolderNames, AreTheExactCodePoints)
{
    const auto older = BuildCandidateFolders(L"X:", StartMenuLayout::Older);
    // 夸沃科技, 程序 and 「开始」菜单, spelled out so that a change of source
    // encoding cannot slip through.
    EXPECT_EQ(older[0], std::wstring(L"X:\\\u7A0B\u5E8F\\\u5938\u6C83\u79D1\u6280\\"));
    EXPECT_EQ(older[1], std::wstring(L"X:\\Documents and Settings\\All Users\\"
                                     L"\u300C\u5F00\u59CB\u300D\u83DC\u5355\\\u7A0B\u5E8F\\"
                                     L"\u5938\u6C83\u79D1\u6280\\"));
}

TEST(Layout, OnlyTheFourNamesTakeTheWindows7Layout)
{
    for (const wchar_t* name : {L"Windows 10", L"Windows 8.1", L"Windows 8", L"Windows 7"}) {
        EXPECT_EQ(LayoutForVersionName(name), StartMenuLayout::Windows7) << name;
    }
    for (const wchar_t* name : {L"", L"Windows Vista", L"Windows Server 2008",
                                L"Windows Server 2008 R2", L"Windows XP", L"Windows Server 2003",
                                L"Windows 2000", L"Windows 95", L"windows 7", L"Windows 7 ",
                                L"Windows 8.1 Pro", L"Windows"}) {
        EXPECT_EQ(LayoutForVersionName(name), StartMenuLayout::Older) << name;
    }
    // The names are compared in full: one with a NUL inside is not "Windows 7".
    EXPECT_EQ(LayoutForVersionName(std::wstring_view(L"Windows 7\0x", 11)), StartMenuLayout::Older);
}

TEST(Candidates, Windows7LayoutInOrder)
{
    const auto candidates = BuildCandidateFolders(kUserMenu, StartMenuLayout::Windows7);
    EXPECT_EQ(candidates[0], kUserMenu + L"\\Programs\\夸沃科技\\");
    EXPECT_EQ(candidates[1], L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\夸沃科技\\");
    EXPECT_EQ(candidates[2], kUserMenu + L"\\Programs\\Quorvale\\");
    EXPECT_EQ(candidates[3], L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvale\\");
}

TEST(Candidates, OlderLayoutInOrder)
{
    const std::wstring xpMenu = L"C:\\Documents and Settings\\ana\\「开始」菜单";
    const auto candidates = BuildCandidateFolders(xpMenu, StartMenuLayout::Older);
    EXPECT_EQ(candidates[0], xpMenu + L"\\程序\\夸沃科技\\");
    EXPECT_EQ(candidates[1], L"C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\夸沃科技\\");
    EXPECT_EQ(candidates[2], xpMenu + L"\\程序\\Quorvale\\");
    EXPECT_EQ(candidates[3], L"C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\Quorvale\\");
}

TEST(Candidates, AllUsersFoldersTakeTheDriveOfTheUserMenu)
{
    const auto onD = BuildCandidateFolders(L"D:\\Profiles\\ana\\Start Menu", StartMenuLayout::Windows7);
    EXPECT_EQ(onD[1], L"D:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\夸沃科技\\");
    EXPECT_EQ(onD[3], L"D:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvale\\");
    // Without a colon the all-users folders start at the current drive's root.
    const auto unc = BuildCandidateFolders(L"\\\\server\\profiles\\ana\\Start Menu",
                                           StartMenuLayout::Older);
    EXPECT_EQ(unc[0], L"\\\\server\\profiles\\ana\\Start Menu\\程序\\夸沃科技\\");
    EXPECT_EQ(unc[1], L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\夸沃科技\\");
    EXPECT_EQ(unc[3], L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\Quorvale\\");
    // An empty user menu still gives candidates relative to the current folder.
    const auto empty = BuildCandidateFolders(L"", StartMenuLayout::Windows7);
    EXPECT_EQ(empty[0], L"\\Programs\\夸沃科技\\");
    EXPECT_EQ(empty[1], L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\夸沃科技\\");
}

TEST(DrivePart, UpToAndIncludingTheFirstColon)
{
    EXPECT_EQ(DrivePart(L"C:\\Users\\ana"), L"C:");
    EXPECT_EQ(DrivePart(L"C:"), L"C:");
    EXPECT_EQ(DrivePart(L"c:relative"), L"c:");
    EXPECT_EQ(DrivePart(L"\\\\?\\C:\\Users"), L"\\\\?\\C:");
    EXPECT_EQ(DrivePart(L"C:\\a:b"), L"C:");
    EXPECT_EQ(DrivePart(L"\\\\server\\share"), L"");
    EXPECT_EQ(DrivePart(L""), L"");
    EXPECT_EQ(DrivePart(L":"), L":");
}

TEST(WalkPaths, QueriesNameTheEntryItself)
{
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\m\\Quorvale\\"), L"C:\\m\\Quorvale");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\m\\\\sub"), L"C:\\m\\\\sub");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\m\\\\"), L"C:\\m");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\"), L"C:\\");
    EXPECT_EQ(WithoutTrailingBackslashes(L"\\"), L"\\");
    EXPECT_EQ(WithoutTrailingBackslashes(L""), L"");
}

}  // namespace
}  // namespace sweepon
