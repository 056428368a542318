// Numbers for the engine harnesses: mostly ones a host would pass, sometimes
// any bit pattern at all (NaN, infinities, denormals, huge and negative).
// Hosts pass floats through the DLL, so coordinates are floats too.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>

namespace lplines::fuzz {

inline float amount(FuzzedDataProvider& input, float low, float high)
{
    if (input.ConsumeIntegralInRange(0, 7) != 0)
        return input.ConsumeFloatingPointInRange(low, high);
    const std::uint32_t bits = input.ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline double coordinate(FuzzedDataProvider& input, float low, float high)
{
    return amount(input, low, high);
}

} // namespace lplines::fuzz
