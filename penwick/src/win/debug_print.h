// The library's only diagnostics: texts for the debugger output.
#pragma once

namespace penwick {

// printf-style; a text longer than 126 characters is dropped, never cut.
void debugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace penwick
