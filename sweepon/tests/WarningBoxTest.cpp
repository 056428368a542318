// The real warning box of sweepon.exe, shown on the test display and closed
// by the test: its caption, text and button, one box per folder that stays,
// and the pass going on after each.
#include "RunAsWindowsVersion.h"
#include "StartMenuSeeds.h"
#include "TestFolders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sweepon_test {
namespace {

const std::wstring kCaption = L"\u8B66\u544A\u4FE1\u606F";           // 警告信息
const std::wstring kText = L"\u5220\u9664\u76EE\u5F55\u5931\u8D25\uFF01";  // 删除目录失败！
constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a box's text
constexpr DWORD kWaitMs = 20000;

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM search)
{
    auto& box = *reinterpret_cast<BoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == box.process && ClassName(window) == L"#32770" && IsWindowVisible(window)) {
        box.found = window;
        return FALSE;
    }
    return TRUE;
}

// The dialog box the program shows, once its text is in place.
HWND WaitForBox(DWORD process)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
        BoxSearch search{process, nullptr};
        EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found && GetDlgItem(search.found, kMessageTextId)
            && !WindowText(GetDlgItem(search.found, kMessageTextId)).empty()) {
            return search.found;
        }
        Sleep(20);
    }
    return nullptr;
}

// Wine hides a closed box at once but may destroy it only later.
bool WaitUntilClosed(HWND window)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
        if (!IsWindow(window) || !IsWindowVisible(window)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

std::vector<HWND> VisibleChildren(HWND box, const std::wstring& className)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && ClassName(child) == className) {
            children.push_back(child);
        }
    }
    return children;
}

void ExpectTheWarningBox(HWND box)
{
    EXPECT_EQ(WindowText(box), kCaption);
    EXPECT_EQ(WindowText(GetDlgItem(box, kMessageTextId)), kText);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::vector<HWND> buttons = VisibleChildren(box, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
    for (HWND picture : VisibleChildren(box, L"Static")) {
        EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), 0) << "the box shows an icon";
    }
}

void PressOk(HWND box)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

class WarningBox : public ::testing::Test {
protected:
    void SetUp() override { ClearStartMenus(); }
    void TearDown() override { ClearStartMenus(); }
};

TEST_F(WarningBox, OneBoxForEachFolderThatStaysThenThePassGoesOn)
{
    const MakerFolders folders = Windows7LayoutFolders();
    ASSERT_TRUE(MakeReadOnlyFile(folders[0] + L"\\.data\\locked.lnk"));
    MakeFile(folders[0] + L"\\Uninstall.lnk");
    MakeFile(folders[2] + L"\\Uninstall.lnk");

    const wintest::VersionedProgram sweepon(wintest::ProgramFolder() + L"sweepon.exe",
                                            wintest::WindowsVersion::Windows10);
    ASSERT_TRUE(sweepon.IsReady());
    const wintest::RunningProgram run = sweepon.Start();
    ASSERT_TRUE(run.IsStarted());

    // .data cannot be removed, then neither can 夸沃科技: two boxes, and
    // Quorvale waits for both.
    for (int box = 0; box < 2; ++box) {
        SCOPED_TRACE(box);
        const HWND shown = WaitForBox(run.Id());
        ASSERT_NE(shown, nullptr) << "no warning box";
        ExpectTheWarningBox(shown);
        EXPECT_FALSE(run.Wait(0)) << "the pass must wait on the box";
        EXPECT_TRUE(Exists(folders[2] + L"\\Uninstall.lnk"));
        PressOk(shown);
        ASSERT_TRUE(WaitUntilClosed(shown));
    }

    ASSERT_TRUE(run.Wait(kWaitMs)) << "still running after the boxes were closed";
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_FALSE(Exists(folders[2]));
    EXPECT_TRUE(Exists(folders[0] + L"\\.data\\locked.lnk"));
    EXPECT_FALSE(Exists(folders[0] + L"\\Uninstall.lnk"));
}

}  // namespace
}  // namespace sweepon_test
