// Text for the debugger output: formatted into a fixed 128-byte buffer and
// sent only when it fits whole.
#pragma once

#include <array>
#include <cstdarg>

namespace penwick {

constexpr int kDebugTextLimit = 126;   // characters; longer texts are dropped

using DebugTextBuffer = std::array<char, 128>;

// printf-style; true when the text has at most kDebugTextLimit characters
// (it is then in `buffer`). Never writes past the buffer.
bool formatDebugText(DebugTextBuffer& buffer, const char* format, std::va_list args);

} // namespace penwick
