// What the engine harnesses share: numbers that are mostly ones a host
// would pass and sometimes any bit pattern at all (NaN, infinities,
// denormals, huge and negative; hosts pass floats through the DLL, so
// coordinates are floats too), and a way to stop on a broken promise.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lplines::fuzz {

// Ends the run with a report libFuzzer keeps the input for.
[[noreturn]] inline void broken(const char* promise)
{
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

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
