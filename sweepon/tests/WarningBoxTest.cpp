// The real warning box of sweepon.exe, shown on the test display and closed
// by the test: its caption, text and button, one box per folder that stays,
// and the pass going on after each.
#include "RunAsWindowsVersion.h"
#include "StartMenuSeeds.h"
#include "TestFolders.h"
#include "WarningBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sweepon_test {
namespace {

const std::wstring kCaption = L"\u8B66\u544A\u4FE1\u606F";           // 警告信息
const std::wstring kText = L"\u5220\u9664\u76EE\u5F55\u5931\u8D25\uFF01";  // 删除目录失败！
constexpr DWORD kWaitMs = 20000;

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
    EXPECT_EQ(BoxText(box), kText);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::vector<HWND> buttons = VisibleChildren(box, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
    for (HWND picture : VisibleChildren(box, L"Static")) {
        EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), 0) << "the box shows an icon";
    }
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
        const HWND shown = WaitForBox(run.Id(), kWaitMs);
        ASSERT_NE(shown, nullptr) << "no warning box";
        ExpectTheWarningBox(shown);
        EXPECT_FALSE(run.Wait(0)) << "the pass must wait on the box";
        EXPECT_TRUE(Exists(folders[2] + L"\\Uninstall.lnk"));
        PressOk(shown);
        ASSERT_TRUE(WaitUntilClosed(shown, kWaitMs));
    }

    ASSERT_TRUE(run.Wait(kWaitMs)) << "still running after the boxes were closed";
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_FALSE(Exists(folders[2]));
    EXPECT_TRUE(Exists(folders[0] + L"\\.data\\locked.lnk"));
    EXPECT_FALSE(Exists(folders[0] + L"\\Uninstall.lnk"));
}

}  // namespace
}  // namespace sweepon_test
