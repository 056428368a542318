#include "WarningLog.h"

#include "FolderPaths.h"

#include <cwctype>

namespace sweepon {

namespace {

bool IsLogSwitch(std::wstring_view argument)
{
    if (argument.size() != 4 || (argument[0] != L'/' && argument[0] != L'-')) {
        return false;
    }
    const std::wstring_view name = argument.substr(1);
    const std::wstring_view log = L"log";
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (std::towlower(static_cast<std::wint_t>(name[i])) != log[i]) {
            return false;
        }
    }
    return true;
}

// The removal walk joins "%s\%s" onto folders that already end with a
// backslash; a network path keeps its leading pair.
std::wstring WithSingleSeparators(std::wstring_view folder)
{
    std::wstring path;
    path.reserve(folder.size());
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (i < 2 || folder[i] != L'\\' || path.back() != L'\\') {
            path.push_back(folder[i]);
        }
    }
    return path;
}

}  // namespace

std::optional<std::wstring> WarningLogPath(const std::vector<std::wstring>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (IsLogSwitch(arguments[i])) {
            return i + 1 < arguments.size() ? arguments[i + 1] : std::wstring();
        }
    }
    return std::nullopt;
}

std::wstring WarningLogLine(std::wstring_view text, std::wstring_view folder)
{
    std::wstring line(text);
    line += L' ';
    line += WithoutTrailingBackslashes(WithSingleSeparators(folder));
    line += L"\r\n";
    return line;
}

}  // namespace sweepon
