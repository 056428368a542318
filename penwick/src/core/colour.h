// The host speaks COLORREF (0x00BBGGRR); the ink engine 0xAARRGGBB.
#pragma once

#include <cstdint>

namespace penwick {

// `engineColor` with its red, green and blue replaced by the COLORREF's;
// its alpha byte is kept.
constexpr std::uint32_t engineColorWithRgb(std::uint32_t engineColor, std::uint32_t colorref)
{
    const std::uint32_t red = colorref & 0xFFu;
    const std::uint32_t green = (colorref >> 8) & 0xFFu;
    const std::uint32_t blue = (colorref >> 16) & 0xFFu;
    return (engineColor & 0xFF000000u) | (red << 16) | (green << 8) | blue;
}

// The engine colour's red, green and blue as a COLORREF; alpha is dropped.
constexpr std::uint32_t colorrefFromEngineColor(std::uint32_t engineColor)
{
    const std::uint32_t red = (engineColor >> 16) & 0xFFu;
    const std::uint32_t green = (engineColor >> 8) & 0xFFu;
    const std::uint32_t blue = engineColor & 0xFFu;
    return red | (green << 8) | (blue << 16);
}

} // namespace penwick
