// The framework's string: wide text, as in a Unicode build of the class
// library it stands in for.
#pragma once

#include <string>

using CString = std::wstring;
