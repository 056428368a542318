// Pixels and rectangles shared by the rasteriser and the compositor.
// A pixel is 0xAARRGGBB in a native 32-bit word, which is the byte order of
// a 32-bit Windows DIB (blue, green, red, alpha).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
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

// Mixes one ink over backgrounds at any of the 256 coverages. The ink's
// alpha is ignored; each channel becomes (background x (65536 - weight) +
// ink x weight) / 65536, rounded, where weight is the coverage's share of
// the opacity. The background keeps its own alpha byte, because the
// surfaces we paint on are opaque pictures, not layers. The ink's part of
// every channel is worked out once per ink: composing mixes every pixel a
// point touches, on both surfaces.
class InkMixer {
public:
    void set(std::uint32_t ink, float opacity)
    {
        for (std::size_t c = 0; c < levels_.size(); ++c) {
            const auto weight = static_cast<std::uint32_t>(std::lround(static_cast<double>(c) / 255.0 * opacity * 65536.0));
            levels_[c] = {65536u - weight, ((ink >> 16) & 0xFFu) * weight + 32768u,
                          ((ink >> 8) & 0xFFu) * weight + 32768u, (ink & 0xFFu) * weight + 32768u};
        }
    }

    std::uint32_t mix(std::uint32_t background, std::uint8_t coverage) const
    {
        const Level& level = levels_[coverage];
        const std::uint32_t r = (((background >> 16) & 0xFFu) * level.keep + level.red) >> 16;
        const std::uint32_t g = (((background >> 8) & 0xFFu) * level.keep + level.green) >> 16;
        const std::uint32_t b = ((background & 0xFFu) * level.keep + level.blue) >> 16;
        return (background & 0xFF000000u) | (r << 16) | (g << 8) | b;
    }

private:
    struct Level {
        std::uint32_t keep;                // 65536 - weight
        std::uint32_t red, green, blue;    // ink channel x weight, plus half for rounding
    };
    std::array<Level, 256> levels_{};
};

} // namespace lplines
