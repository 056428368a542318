// Command lines of Windows programs, both ways.
#pragma once

#include <string>
#include <vector>

namespace wintest {

// This program's arguments, its name first, as the wide command line has them.
std::vector<std::wstring> ProgramArguments();

// A command line that gives a program exactly ARGUMENTS (the program's
// name first), quoted the way the C runtime and CommandLineToArgvW split it.
std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments);

std::string Utf8(const std::wstring& text);

}  // namespace wintest
