#include "FolderPaths.h"

namespace sweepon {

namespace {

// The suffixes of the four candidates, in their order, for each layout.
using CandidateSuffixes = std::array<std::wstring_view, 4>;
constexpr CandidateSuffixes kWindows7Suffixes = {
    L"\\Programs\\夸沃科技\\",
    L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\夸沃科技\\",
    L"\\Programs\\Quorvale\\",
    L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvale\\",
};
constexpr CandidateSuffixes kOlderSuffixes = {
    L"\\程序\\夸沃科技\\",
    L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\夸沃科技\\",
    L"\\程序\\Quorvale\\",
    L"\\Documents and Settings\\All Users\\「开始」菜单\\程序\\Quorvale\\",
};

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
    const CandidateSuffixes& suffixes =
        layout == StartMenuLayout::Windows7 ? kWindows7Suffixes : kOlderSuffixes;
    std::array<std::wstring, 4> candidates;
    candidates[0] = Join(userStartMenu, suffixes[0]);
    candidates[1] = Join(DrivePart(candidates[0]), suffixes[1]);
    candidates[2] = Join(userStartMenu, suffixes[2]);
    candidates[3] = Join(DrivePart(candidates[2]), suffixes[3]);
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
