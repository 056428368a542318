// Pixels and rectangles shared by the rasteriser and the compositor.
// A pixel is 0xAARRGGBB in a native 32-bit word, which is the byte order of
// a 32-bit Windows DIB (blue, green, red, alpha).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace lplines {

// Half-open rectangle [left, right) x [top, bottom) in canvas pixels.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    int width() const { return empty() ? 0 : right - left; }
    int height() const { return empty() ? 0 : bottom - top; }
    long long area() const { return static_cast<long long>(width()) * height(); }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    IntRect intersected(const IntRect& other) const
    {
        IntRect r{std::max(left, other.left), std::max(top, other.top),
                  std::min(right, other.right), std::min(bottom, other.bottom)};
        return r.empty() ? IntRect{} : r;
    }

    IntRect united(const IntRect& other) const
    {
        if (empty())
            return other;
        if (other.empty())
            return *this;
        return {std::min(left, other.left), std::min(top, other.top),
                std::max(right, other.right), std::max(bottom, other.bottom)};
    }

    bool operator==(const IntRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A view of 32-bit pixels owned by someone else (a DIB section, a test
// buffer). `stride` counts pixels, not bytes.
struct PixelView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    bool empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    std::uint32_t* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
    std::uint32_t& at(int x, int y) const { return row(y)[x]; }
    IntRect bounds() const { return {0, 0, width, height}; }
};

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

void fillPixels(const PixelView& view, const IntRect& area, std::uint32_t value);
// Copies the overlap of two views placed at the same origin.
void copyOverlap(const PixelView& from, const PixelView& to);

// Mixes `ink` (its alpha is ignored) over `background` with weight
// `weight` out of 65536; the background keeps its own alpha byte, because
// the surfaces we paint on are opaque pictures, not layers.
inline std::uint32_t mixPixel(std::uint32_t background, std::uint32_t ink, std::uint32_t weight)
{
    const std::uint32_t keep = 65536u - weight;
    const std::uint32_t r = (((background >> 16) & 0xFFu) * keep + ((ink >> 16) & 0xFFu) * weight + 32768u) >> 16;
    const std::uint32_t g = (((background >> 8) & 0xFFu) * keep + ((ink >> 8) & 0xFFu) * weight + 32768u) >> 16;
    const std::uint32_t b = ((background & 0xFFu) * keep + (ink & 0xFFu) * weight + 32768u) >> 16;
    return (background & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

} // namespace lplines
