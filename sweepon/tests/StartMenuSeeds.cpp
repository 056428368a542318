#include "StartMenuSeeds.h"

#include "TestFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace sweepon_test {

namespace {

std::wstring ShellFolder(int folder)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

const std::wstring kDocumentsAndSettings = L"C:\\Documents and Settings";

void AddTree(const std::wstring& path, std::set<std::wstring>& paths)
{
    ForEachEntry(path + L"\\", [&](const std::wstring& name, DWORD attributes) {
        const std::wstring entry = path + L"\\" + name;
        paths.insert(entry);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            AddTree(entry, paths);
        }
    });
}

}  // namespace

std::wstring UserStartMenu()
{
    return ShellFolder(CSIDL_STARTMENU);
}

std::wstring AllUsersStartMenu()
{
    return ShellFolder(CSIDL_COMMON_STARTMENU);
}

MakerFolders Windows7LayoutFolders()
{
    const std::wstring user = UserStartMenu() + L"\\Programs\\";
    const std::wstring allUsers = AllUsersStartMenu() + L"\\Programs\\";
    return {user + L"夸沃科技", allUsers + L"夸沃科技", user + L"Quorvale", allUsers + L"Quorvale"};
}

MakerFolders OlderLayoutFolders()
{
    const std::wstring user = UserStartMenu() + L"\\程序\\";
    const std::wstring allUsers = kDocumentsAndSettings + L"\\All Users\\「开始」菜单\\程序\\";
    return {user + L"夸沃科技", allUsers + L"夸沃科技", user + L"Quorvale", allUsers + L"Quorvale"};
}

std::set<std::wstring> SnapshotStartMenus()
{
    std::set<std::wstring> paths;
    AddTree(UserStartMenu(), paths);
    AddTree(AllUsersStartMenu(), paths);
    AddTree(kDocumentsAndSettings, paths);
    return paths;
}

namespace {

std::array<std::wstring, 8> Neighbours()
{
    const std::wstring user7 = UserStartMenu() + L"\\Programs\\";
    const std::wstring allUsers7 = AllUsersStartMenu() + L"\\Programs\\";
    const std::wstring userOld = UserStartMenu() + L"\\程序\\";
    const std::wstring allUsersOld = kDocumentsAndSettings + L"\\All Users\\「开始」菜单\\程序\\";
    return {user7 + L"Other Maker", user7 + L"Quorvale Tools", user7 + L"Quorvale.url",
            allUsers7 + L"夸沃科技 旧版", userOld + L"Other Maker", userOld + L"夸沃科技.url",
            allUsersOld + L"Quorvale Tools", allUsersOld + L"Quorvale.url"};
}

}  // namespace

void SeedNeighbours()
{
    for (const std::wstring& neighbour : Neighbours()) {
        if (neighbour.size() > 4 && neighbour.compare(neighbour.size() - 4, 4, L".url") == 0) {
            MakeFile(neighbour);
        } else {
            MakeFile(neighbour + L"\\app.lnk");
        }
    }
}

void ClearStartMenus()
{
    for (const MakerFolders& layout : {Windows7LayoutFolders(), OlderLayoutFolders()}) {
        for (const std::wstring& folder : layout) {
            RemoveTree(folder);
        }
    }
    for (const std::wstring& neighbour : Neighbours()) {
        RemoveTree(neighbour);
    }
    for (const std::wstring& folder :
         {UserStartMenu() + L"\\程序", kDocumentsAndSettings + L"\\All Users\\「开始」菜单\\程序",
          kDocumentsAndSettings + L"\\All Users\\「开始」菜单", kDocumentsAndSettings + L"\\All Users",
          kDocumentsAndSettings}) {
        RemoveDirectoryW(folder.c_str());
    }
}

}  // namespace sweepon_test
