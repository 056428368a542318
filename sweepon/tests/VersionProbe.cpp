// Prints, in UTF-8, what Sweepon makes of the running Windows version:
//     <version name>|<layout>|<at least 6.2>|<at least 10.0>
#include "FolderPaths.h"
#include "WindowsVersion.h"

#include <cstdio>
#include <string>

int main()
{
    const CString name = GetWindowsVersionName();
    std::string utf8(static_cast<std::size_t>(name.size()) * 3 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), static_cast<int>(name.size()),
                                           utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    const bool windows7Layout =
        sweepon::LayoutForVersionName(name) == sweepon::StartMenuLayout::Windows7;
    std::printf("%s|%s|%d|%d\n", utf8.c_str(), windows7Layout ? "Windows 7 layout" : "older layout",
                IsWindowsVersionAtLeast(6, 2) ? 1 : 0, IsWindowsVersionAtLeast(10, 0) ? 1 : 0);
    return 0;
}
