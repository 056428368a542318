#include "debug_text.h"

#include <cstdio>

namespace penwick {

bool formatDebugText(DebugTextBuffer& buffer, const char* format, std::va_list args)
{
    buffer[0] = '\0';
    if (format == nullptr)
        return false;
    const int length = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return length >= 0 && length <= kDebugTextLimit;
}

} // namespace penwick
