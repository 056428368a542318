// The stand-in for the class library: file finder and application run.
#include "TestFolders.h"
#include "framework/FileFind.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace sweepon_test {
namespace {

struct Entry {
    bool dots = false;
    bool directory = false;
};

std::map<std::wstring, Entry> Walk(const std::wstring& pattern)
{
    std::map<std::wstring, Entry> entries;
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        entries[finder.GetFileName()] = {finder.IsDots() != FALSE,
                                         finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != FALSE};
    }
    finder.Close();
    return entries;
}

TEST(FileFind, WalksEveryEntryWithItsWideName)
{
    ScratchFolder scratch;
    MakeFile(scratch / L"夸沃科技.lnk");
    MakeFile(scratch / L"a.txt");
    MakeFolders(scratch / L"sub");
    MakeFolders(scratch / L".hidden");
    const auto entries = Walk(scratch / L"*.*");
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(entries.at(L".").dots);
    EXPECT_TRUE(entries.at(L"..").dots);
    EXPECT_FALSE(entries.at(L".hidden").dots);
    EXPECT_TRUE(entries.at(L".hidden").directory);
    EXPECT_TRUE(entries.at(L"sub").directory);
    EXPECT_FALSE(entries.at(L"夸沃科技.lnk").directory);
    EXPECT_FALSE(entries.at(L"a.txt").dots);
}

TEST(FileFind, TheLastEntryIsCurrentWhenFindNextFileSaysNoMore)
{
    ScratchFolder scratch;
    MakeFile(scratch / L"only.lnk");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((scratch / L"only.lnk").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), L"only.lnk");
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), L"only.lnk");
}

TEST(FileFind, NothingToFind)
{
    ScratchFolder scratch;
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((scratch / L"missing\\*.*").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_FALSE(finder.FindFile((scratch / L"*.none").c_str()));
}

TEST(FileFind, CanStartAgainAfterClose)
{
    ScratchFolder scratch;
    MakeFile(scratch / L"a.lnk");
    MakeFile(scratch / L"b.lnk");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((scratch / L"a.lnk").c_str()));
    finder.Close();
    EXPECT_FALSE(finder.FindNextFile());
    ASSERT_TRUE(finder.FindFile((scratch / L"b.lnk").c_str()));
    finder.FindNextFile();
    EXPECT_EQ(finder.GetFileName(), L"b.lnk");
}

class RecordingApp : public CWinApp {
public:
    explicit RecordingApp(bool carryOn, int quitCode = 0) : carryOn_(carryOn), quitCode_(quitCode) {}
    BOOL InitInstance() override
    {
        calls += "init ";
        if (carryOn_) {
            PostQuitMessage(quitCode_);
        }
        return carryOn_;
    }
    int Run() override
    {
        calls += "run ";
        return CWinApp::Run();
    }
    int ExitInstance() override
    {
        calls += "exit ";
        return CWinApp::ExitInstance();
    }
    std::string calls;

private:
    bool carryOn_;
    int quitCode_;
};

TEST(WinApp, FalseFromInitInstanceEndsWithoutAMessageLoop)
{
    RecordingApp app(false);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(app.calls, "init exit ");
}

TEST(WinApp, TrueFromInitInstanceRunsTheMessageLoopToItsEnd)
{
    RecordingApp app(true, 7);
    EXPECT_EQ(AfxWinMain(), 7);
    EXPECT_EQ(app.calls, "init run exit ");
}

}  // namespace
}  // namespace sweepon_test
