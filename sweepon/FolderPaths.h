// Building the paths Sweepon works on: the four candidate maker folders and
// the search patterns and entry paths of the folder walks. Free of
// <windows.h> so that every layout is unit-tested natively.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace sweepon {

// Windows 7 and later keep the Start Menu's programs in "Programs" and the
// all-users menu below ProgramData; older systems (and Chinese XP's folder
// names) use the Documents and Settings tree.
enum class StartMenuLayout { Windows7, Older };

// The Windows 7 layout belongs to exactly "Windows 10", "Windows 8.1",
// "Windows 8" and "Windows 7"; any other name, the empty one included,
// selects the older layout.
StartMenuLayout LayoutForVersionName(std::wstring_view versionName);

// The text up to and including the first ':', or nothing without one.
std::wstring DrivePart(std::wstring_view path);

// The four candidates, in the order they are handled: the user's and the
// all-users 夸沃科技, then the user's and the all-users Quorvale. Each ends
// with a backslash. The all-users ones take the drive of the user's Start
// Menu (an empty drive part means the root of the current drive).
std::array<std::wstring, 4> BuildCandidateFolders(std::wstring_view userStartMenu,
                                                  StartMenuLayout layout);

// The longest path the classic (not "\\?\") Win32 file calls accept,
// terminator included. A longer path is never shortened to fit: a cut path
// names something else.
constexpr std::size_t kMaxPathChars = 260;
bool FitsPathLimit(std::wstring_view path);

// The walk that counts a folder's contents gets folders ending with a
// backslash and extends them as they are.
std::wstring CountPattern(std::wstring_view folder);
std::wstring CountSubfolder(std::wstring_view folder, std::wstring_view name);

// The removal walk joins with a backslash of its own ("%s\*.*", "%s\%s"),
// so a folder that already ends with one gives a doubled backslash, which
// the platform accepts.
std::wstring RemovalPattern(std::wstring_view folder);
std::wstring RemovalEntry(std::wstring_view folder, std::wstring_view name);

// The path without its trailing backslashes, so that a query names the
// entry itself; a root such as C:\ keeps its backslash.
std::wstring WithoutTrailingBackslashes(std::wstring_view path);

}  // namespace sweepon
