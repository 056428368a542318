// The switch that keeps Sweepon from ever waiting for a person: with
// "/log PATH" each warning becomes a line appended to PATH instead of a box.
// An uninstaller runs Sweepon unattended, where a box nobody can see would
// hold the whole uninstall for ever. Free of <windows.h>.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sweepon {

// The log that warnings go to, from the program's arguments (the program's
// own name left out): the argument after the first "/log" or "-log" (in any
// letter case), or an empty path when "/log" is the last argument, which
// keeps the box away and the warnings nowhere. Without "/log" the result is
// empty and the box is shown, as it is without arguments; other arguments
// are ignored, as they always were.
std::optional<std::wstring> WarningLogPath(const std::vector<std::wstring>& arguments);

// One line of the log for a folder that could not be removed: the box's
// text, a space, and the folder as a person would write it (no trailing
// backslash, no doubled ones), ended with CR LF.
std::wstring WarningLogLine(std::wstring_view text, std::wstring_view folder);

}  // namespace sweepon
