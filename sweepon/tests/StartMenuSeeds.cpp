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

namespace {

const wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const wchar_t kStartMenuValue[] = L"Start Menu";

class RegistryKey {
public:
    RegistryKey()
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_)
            != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey()
    {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring ReadStartMenuSetting()
{
    const RegistryKey key;
    std::wstring value(1024, L'\0');
    auto size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    if (!key.Get()
        || RegQueryValueExW(key.Get(), kStartMenuValue, nullptr, &type,
                            reinterpret_cast<BYTE*>(value.data()), &size)
               != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return value;
}

bool WriteStartMenuSetting(const std::wstring& value)
{
    const RegistryKey key;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return key.Get()
           && RegSetValueExW(key.Get(), kStartMenuValue, 0, REG_EXPAND_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()), bytes)
                  == ERROR_SUCCESS;
}

// The outermost folder of `path` that does not exist yet; empty when all do.
std::wstring FirstMissingFolder(const std::wstring& path)
{
    for (std::size_t slash = path.find(L'\\', 3);; slash = path.find(L'\\', slash + 1)) {
        const std::wstring prefix = path.substr(0, slash);
        if (!Exists(prefix)) {
            return prefix;
        }
        if (slash == std::wstring::npos) {
            return {};
        }
    }
}

}  // namespace

RedirectedUserStartMenu::RedirectedUserStartMenu(const std::wstring& startMenu)
    : previous_(ReadStartMenuSetting()), madeRoot_(FirstMissingFolder(startMenu))
{
    // The shell gives no path for a Start Menu folder that does not exist.
    if (previous_.empty() || !MakeFolders(startMenu) || !WriteStartMenuSetting(startMenu)) {
        return;
    }
    active_ = UserStartMenu() == startMenu;
}

RedirectedUserStartMenu::~RedirectedUserStartMenu()
{
    if (!previous_.empty()) {
        WriteStartMenuSetting(previous_);
    }
    if (!madeRoot_.empty()) {
        RemoveTree(madeRoot_);
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
