// The real sweepon.exe, run as several Windows versions on maker folders
// seeded in the prefix's own Start Menus.
#include "RunAsWindowsVersion.h"
#include "StartMenuSeeds.h"
#include "TestFolders.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace sweepon_test {
namespace {

using wintest::WindowsVersion;

std::wstring SweeponPath()
{
    return wintest::ProgramFolder() + L"sweepon.exe";
}

void SeedFilesOnly(const std::wstring& folder)
{
    MakeFile(folder + L"\\夸沃科技.lnk");
    MakeFile(folder + L"\\Uninstall.lnk");
    MakeFile(folder + L"\\Website.url");
}

void SeedDotFolderOnly(const std::wstring& folder)
{
    MakeFile(folder + L"\\.cache\\state.dat");
    MakeFile(folder + L"\\.cache\\inner\\more.dat");
}

void SeedWithSubfolder(const std::wstring& folder, const std::wstring& subfolder)
{
    MakeFile(folder + L"\\Uninstall.lnk");
    MakeFolders(folder + L"\\" + subfolder);
}

// What changed between the snapshots is exactly the removal of `removed`.
void ExpectOnlyRemoved(const std::set<std::wstring>& before, const std::set<std::wstring>& after,
                       const std::vector<std::wstring>& removed)
{
    for (const std::wstring& folder : removed) {
        EXPECT_TRUE(before.count(folder)) << "not seeded: " << Narrow(folder);
    }
    for (const std::wstring& path : before) {
        bool shouldGo = false;
        for (const std::wstring& folder : removed) {
            shouldGo = shouldGo || IsAtOrBelow(path, folder);
        }
        EXPECT_EQ(after.count(path) == 0, shouldGo)
            << (shouldGo ? "still there: " : "removed: ") << Narrow(path);
    }
    for (const std::wstring& path : after) {
        EXPECT_TRUE(before.count(path)) << "new: " << Narrow(path);
    }
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

class SweeponProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearStartMenus();
        SeedNeighbours();
    }
    void TearDown() override { ClearStartMenus(); }

    // A box would keep the program waiting: a run must end by itself.
    static void RunAs(WindowsVersion version, const std::wstring& arguments = L"")
    {
        const wintest::VersionedProgram sweepon(SweeponPath(), version);
        ASSERT_TRUE(sweepon.IsReady());
        const wintest::ProgramResult result = sweepon.Run(arguments, 30000);
        ASSERT_TRUE(result.started);
        EXPECT_TRUE(result.finished) << "still running: waiting on a warning box?";
        EXPECT_EQ(result.exitCode, 0u);
    }

    const MakerFolders windows7 = Windows7LayoutFolders();
    const MakerFolders older = OlderLayoutFolders();
};

TEST_F(SweeponProgram, OnWindows7RemovesTheProgramsFoldersWithoutSubfolders)
{
    SeedFilesOnly(windows7[0]);
    SeedDotFolderOnly(windows7[1]);
    SeedWithSubfolder(windows7[2], L"Docs");
    // windows7[3] is missing and must stay so
    SeedFilesOnly(older[0]);
    SeedFilesOnly(older[3]);
    const auto before = SnapshotStartMenus();

    RunAs(WindowsVersion::Windows7);

    ExpectOnlyRemoved(before, SnapshotStartMenus(), {windows7[0], windows7[1]});
    EXPECT_FALSE(Exists(windows7[3]));
}

TEST_F(SweeponProgram, OnWindows10KeepsAMakerFolderWithASubfolderWhateverTheCodePage)
{
    // Under an ANSI code page without these characters an ANSI search of
    // 夸沃科技 finds nothing; the subfolder must be seen all the same.
    if (AnsiCodePageHolds(windows7[0])) {
        std::printf("note: ANSI code page %u spells the folder's name\n", GetACP());
    }
    SeedWithSubfolder(windows7[0], L"子目录");
    SeedFilesOnly(windows7[2]);
    SeedDotFolderOnly(windows7[3]);
    const auto before = SnapshotStartMenus();

    RunAs(WindowsVersion::Windows10);

    ExpectOnlyRemoved(before, SnapshotStartMenus(), {windows7[2], windows7[3]});
    EXPECT_FALSE(Exists(windows7[1]));
}

TEST_F(SweeponProgram, BeforeWindows7AndOnItsServersTheOlderLayoutIsUsed)
{
    for (const WindowsVersion version :
         {WindowsVersion::WindowsXP, WindowsVersion::Vista, WindowsVersion::Server2008R2}) {
        SCOPED_TRACE(Narrow(wintest::WineVersionSetting(version)));
        ClearStartMenus();
        SeedNeighbours();
        SeedFilesOnly(older[0]);
        SeedDotFolderOnly(older[1]);
        SeedWithSubfolder(older[2], L"程序");
        SeedFilesOnly(older[3]);
        SeedFilesOnly(windows7[0]);
        SeedFilesOnly(windows7[3]);
        const auto before = SnapshotStartMenus();

        RunAs(version);

        ExpectOnlyRemoved(before, SnapshotStartMenus(), {older[0], older[1], older[3]});
    }
}

TEST_F(SweeponProgram, AProfileTheCodePageCannotSpellIsSweptToo)
{
    // Asked for in ANSI, this Start Menu's path comes back with "?" for
    // each letter the code page lacks and names no folder.
    const std::wstring profile = L"C:\\users\\\u7528\u6237 \u0E1C\u0E39\u0E49\u0E43\u0E0A\u0E49";  // 用户 ผู้ใช้
    if (AnsiCodePageHolds(profile)) {
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " spells the profile's name";
    }
    const RedirectedUserStartMenu redirected(profile + L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu");
    if (!redirected.IsActive() && GetACP() != 1252) {
        // Wine 8's shell then gives no path at all for the moved folder.
        GTEST_SKIP() << "the shell gives no Start Menu outside code page " << GetACP();
    }
    ASSERT_TRUE(redirected.IsActive()) << "the user's Start Menu could not be moved";
    const struct {
        WindowsVersion version;
        MakerFolders folders;
    } runs[] = {{WindowsVersion::Windows10, Windows7LayoutFolders()},
                {WindowsVersion::WindowsXP, OlderLayoutFolders()}};
    for (const auto& run : runs) {
        SCOPED_TRACE(Narrow(wintest::WineVersionSetting(run.version)));
        ClearStartMenus();
        SeedNeighbours();
        SeedFilesOnly(run.folders[0]);
        SeedWithSubfolder(run.folders[1], L"Docs");
        SeedDotFolderOnly(run.folders[2]);
        const auto before = SnapshotStartMenus();

        RunAs(run.version);

        ExpectOnlyRemoved(before, SnapshotStartMenus(), {run.folders[0], run.folders[2]});
    }
    ClearStartMenus();
}

TEST_F(SweeponProgram, RunningAgainChangesNothing)
{
    SeedFilesOnly(windows7[0]);
    SeedWithSubfolder(windows7[2], L"Docs");
    RunAs(WindowsVersion::Windows10);
    const auto afterFirst = SnapshotStartMenus();
    RunAs(WindowsVersion::Windows10);
    EXPECT_EQ(SnapshotStartMenus(), afterFirst);
}


TEST_F(SweeponProgram, WithALogEachWarningIsALineAndNoBoxEverWaits)
{
    // .data cannot be removed, then neither can 夸沃科技: two lines, in that
    // order, and the pass goes on to Quorvale.
    const std::string warning = Narrow(L"\u5220\u9664\u76EE\u5F55\u5931\u8D25\uFF01 ");  // 删除目录失败！
    const std::string expectedLines = warning + Narrow(windows7[0]) + "\\.data\r\n" + warning
                                      + Narrow(windows7[0]) + "\r\n";
    const ScratchFolder scratch;
    const struct {
        const char* what;
        std::wstring log;
        std::string before;  // what the log holds before the run
        std::string after;
    } cases[] = {
        {"a new log starts with a byte-order mark", scratch / L"新日志.log", "",
         "\xEF\xBB\xBF" + expectedLines},
        {"an existing log is appended to", scratch / L"uninstall.log", "earlier\r\n",
         "earlier\r\n" + expectedLines},
        {"a log that cannot be written drops the lines", scratch / L"folder.log", "", ""},
    };
    ASSERT_TRUE(MakeFolders(cases[2].log));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(MakeReadOnlyFile(windows7[0] + L"\\.data\\locked.lnk"));
        MakeFile(windows7[0] + L"\\Uninstall.lnk");
        MakeFile(windows7[2] + L"\\Uninstall.lnk");
        if (!c.before.empty()) {
            WriteFileBytes(c.log, c.before);
        }

        RunAs(WindowsVersion::Windows10, L"/log \"" + c.log + L"\"");

        if (!c.after.empty()) {
            EXPECT_EQ(ReadFileBytes(c.log), c.after);
        }
        EXPECT_TRUE(Exists(windows7[0] + L"\\.data\\locked.lnk"));
        EXPECT_FALSE(Exists(windows7[0] + L"\\Uninstall.lnk"));
        EXPECT_FALSE(Exists(windows7[2]));
        ClearStartMenus();
    }
}

TEST(SweeponImage, IsAWindowedProgram)
{
    const std::string image = ReadFileBytes(SweeponPath());
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LT(static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32), image.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// Offset in the file of what lies at `rva` once loaded; 0 when nothing does.
std::size_t FileOffset(const std::string& image, const IMAGE_NT_HEADERS32& nt, DWORD rva)
{
    const auto* section = IMAGE_FIRST_SECTION(&nt);
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i, ++section) {
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData) {
            const std::size_t offset = rva - section->VirtualAddress + section->PointerToRawData;
            return offset < image.size() ? offset : 0;
        }
    }
    return 0;
}

// "dll!function" for every function the image imports by name.
std::set<std::string> ImportedFunctions(const std::string& image)
{
    std::set<std::string> functions;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    const DWORD importsRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (std::size_t at = FileOffset(image, nt, importsRva); at; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto& library = *reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + at);
        if (library.Name == 0) {
            break;
        }
        std::string dll = image.data() + FileOffset(image, nt, library.Name);
        for (auto& c : dll) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const DWORD thunks = library.OriginalFirstThunk ? library.OriginalFirstThunk : library.FirstThunk;
        for (std::size_t thunk = FileOffset(image, nt, thunks); thunk; thunk += sizeof(DWORD)) {
            const DWORD entry = *reinterpret_cast<const DWORD*>(image.data() + thunk);
            if (entry == 0) {
                break;
            }
            if (!(entry & IMAGE_ORDINAL_FLAG32)) {
                functions.insert(dll + "!" + (image.data() + FileOffset(image, nt, entry) + 2));
            }
        }
    }
    return functions;
}

TEST(SweeponImage, ImportsNothingWindowsXPLacks)
{
    const std::set<std::string> imports = ImportedFunctions(ReadFileBytes(SweeponPath()));
    EXPECT_TRUE(imports.count("user32.dll!MessageBoxW"));
    EXPECT_TRUE(imports.count("ntdll.dll!NtSetInformationFile"));
    for (const char* newer :
         {"kernel32.dll!GetTickCount64", "kernel32.dll!GetFileInformationByHandleEx",
          "kernel32.dll!SetFileInformationByHandle", "kernel32.dll!CreateSymbolicLinkW",
          "kernel32.dll!RegisterApplicationRestart", "kernel32.dll!InitializeSRWLock",
          "kernel32.dll!AcquireSRWLockExclusive", "kernel32.dll!InitializeConditionVariable",
          "kernel32.dll!InitOnceExecuteOnce", "kernel32.dll!FlsAlloc", "kernel32.dll!GetThreadId",
          "kernel32.dll!GetLocaleInfoEx", "kernel32.dll!CompareStringEx", "kernel32.dll!GetErrorMode",
          "user32.dll!SetProcessDPIAware", "user32.dll!ChangeWindowMessageFilter"}) {
        EXPECT_FALSE(imports.count(newer)) << newer << " is missing on Windows XP";
    }
}

TEST(SweeponImage, CarriesItsManifest)
{
    const HMODULE image = LoadLibraryExW(SweeponPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    const HRSRC resource = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, resource)));
    const std::string manifest(bytes, SizeofResource(image, resource));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                            "true</dpiAware>"),
              std::string::npos);
}

}  // namespace
}  // namespace sweepon_test
