#include "pixels.h"

#include <cstring>

namespace lplines {

void fillPixels(const PixelView& view, const IntRect& area, std::uint32_t value)
{
    const IntRect clipped = area.intersected(view.bounds());
    for (int y = clipped.top; y < clipped.bottom; ++y)
        std::fill(view.row(y) + clipped.left, view.row(y) + clipped.right, value);
}

void copyOverlap(const PixelView& from, const PixelView& to)
{
    if (from.empty() || to.empty())
        return;
    const int width = std::min(from.width, to.width);
    const int height = std::min(from.height, to.height);
    for (int y = 0; y < height; ++y)
        std::memmove(to.row(y), from.row(y), static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

} // namespace lplines
