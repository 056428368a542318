// A picture in memory: 0xAARRGGBB pixels, row after row.
#pragma once

#include <cstdint>
#include <vector>

namespace inkq {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Picture() = default;
    Picture(int w, int h, std::uint32_t fill = 0xFFFFFFFFu)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill)
    {
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // How much ink covers a pixel, 0 (white) to 1 (black), from its green byte.
    double ink(int x, int y) const { return contains(x, y) ? (255 - static_cast<int>((at(x, y) >> 8) & 0xFF)) / 255.0 : 0.0; }
};

} // namespace inkq
