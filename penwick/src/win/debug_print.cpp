#include "debug_print.h"

#include "../core/debug_text.h"

#include <windows.h>

#include <cstdarg>

namespace penwick {

void debugPrint(const char* format, ...)
{
    DebugTextBuffer buffer;
    std::va_list args;
    va_start(args, format);
    const bool fits = formatDebugText(buffer, format, args);
    va_end(args);
    if (fits)
        OutputDebugStringA(buffer.data());
}

} // namespace penwick
