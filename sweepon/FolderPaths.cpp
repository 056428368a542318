#include "FolderPaths.h"

namespace sweepon {

namespace {

constexpr std::wstring_view kUserMaker7 = L"\\Programs\\夸沃科技\\";
constexpr std::wstring_view kAllUsersMaker7 =
    L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\夸沃科技\\";
constexpr std::wstring_view kUserBrand7 = L"\\Programs\\Quorvale\\";
constexpr std::wstring_view kAllUsersBrand7 =
    L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvale\\";

constexpr std::wstring_view kUserMakerOld = L"\\程序\\夸沃科技\\";
constexpr std::wstring_view kAllUsersMakerOld =
    L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\夸沃科技\\";
constexpr std::wstring_view kUserBrandOld = L"\\程序\\Quorvale\\";
constexpr std::wstring_view kAllUsersBrandOld =
    L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\Quorvale\\";

std::wstring Join(std::wstring_view head, std::wstring_view tail)
{
    std::wstring joined;
    joined.reserve(head.size() + tail.size());
    joined.append(head);
    joined.append(tail);
    return joined;
}

}  // namespace

StartMenuLayout LayoutForVersionName(std::wstring_view versionName)
{
    for (std::wstring_view name : {L"Windows 10", L"Windows 8.1", L"Windows 8", L"Windows 7"}) {
        if (versionName == name) {
            return StartMenuLayout::Windows7;
        }
    }
    return StartMenuLayout::Older;
}

std::wstring DrivePart(std::wstring_view path)
{
    const std::size_t colon = path.find(L':');
    if (colon == std::wstring_view::npos) {
        return {};
    }
    return std::wstring(path.substr(0, colon + 1));
}

std::array<std::wstring, 4> BuildCandidateFolders(std::wstring_view userStartMenu,
                                                  StartMenuLayout layout)
{
    const bool windows7 = layout == StartMenuLayout::Windows7;
    std::array<std::wstring, 4> candidates;
    candidates[0] = Join(userStartMenu, windows7 ? kUserMaker7 : kUserMakerOld);
    candidates[1] = Join(DrivePart(candidates[0]), windows7 ? kAllUsersMaker7 : kAllUsersMakerOld);
    candidates[2] = Join(userStartMenu, windows7 ? kUserBrand7 : kUserBrandOld);
    candidates[3] = Join(DrivePart(candidates[2]), windows7 ? kAllUsersBrand7 : kAllUsersBrandOld);
    return candidates;
}

bool FitsPathLimit(std::wstring_view path)
{
    return path.size() < kMaxPathChars;
}

std::wstring CountPattern(std::wstring_view folder)
{
    return Join(folder, L"*.*");
}

std::wstring CountSubfolder(std::wstring_view folder, std::wstring_view name)
{
    return Join(Join(folder, name), L"\\");
}

std::wstring RemovalPattern(std::wstring_view folder)
{
    return Join(folder, L"\\*.*");
}

std::wstring RemovalEntry(std::wstring_view folder, std::wstring_view name)
{
    return Join(Join(folder, L"\\"), name);
}

std::wstring WithoutTrailingBackslashes(std::wstring_view path)
{
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == L'\\' && path[end - 2] != L':') {
        --end;
    }
    return std::wstring(path.substr(0, end));
}

}  // namespace sweepon
