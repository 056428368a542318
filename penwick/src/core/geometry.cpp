#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace penwick {

IntRect united(const IntRect& a, const IntRect& b)
{
    if (a.isEmpty())
        return b.isEmpty() ? IntRect{} : b;
    if (b.isEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

IntRect intersected(const IntRect& a, const IntRect& b)
{
    const IntRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    return r.isEmpty() ? IntRect{} : r;
}

void extendDrawnRect(IntRect& drawnRect, bool drawn, int x, int y, const IntRect& clientRect)
{
    if (!drawn) {
        drawnRect = {x, y, x, y};
    } else {
        drawnRect.left = std::min(drawnRect.left, x);
        drawnRect.right = std::max(drawnRect.right, x);
        drawnRect.top = std::min(drawnRect.top, y);
        drawnRect.bottom = std::max(drawnRect.bottom, y);
    }
    drawnRect.left = std::max(drawnRect.left, 0);
    drawnRect.top = std::max(drawnRect.top, 0);
    drawnRect.right = std::min(drawnRect.right, clientRect.right);
    drawnRect.bottom = std::min(drawnRect.bottom, clientRect.bottom);
}

int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

DrawnRectReport growDrawnRect(const IntRect& drawnRect, float penWidth)
{
    const auto edge = [](int value, float delta) {
        return truncateToInt(static_cast<float>(value) + delta);
    };
    return {edge(drawnRect.left, -penWidth), edge(drawnRect.right, penWidth),
            edge(drawnRect.top, -penWidth), edge(drawnRect.bottom, penWidth)};
}

IntRect inkBounds(const InkSpot* spots, std::size_t count, float penWidth)
{
    if (count == 0)
        return {};
    int left = spots[0].x, right = spots[0].x, top = spots[0].y, bottom = spots[0].y;
    float heaviest = 1.0f;
    for (std::size_t i = 0; i < count; ++i) {
        left = std::min(left, spots[i].x);
        right = std::max(right, spots[i].x);
        top = std::min(top, spots[i].y);
        bottom = std::max(bottom, spots[i].y);
        if (std::isfinite(spots[i].pressure))
            heaviest = std::max(heaviest, spots[i].pressure);
    }
    const double width = std::isfinite(penWidth) ? std::clamp(penWidth, 0.0f, 1000.0f) : 0.0;
    const double radius = width * std::min(heaviest, 1000.0f) / 2.0;
    const long long bulge = (static_cast<long long>(right) - left + bottom - top) / 4;
    const long long reach = static_cast<long long>(std::ceil(radius)) + bulge + 3;
    const auto clampInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min() / 2,
                                                      std::numeric_limits<int>::max() / 2));
    };
    return {clampInt(left - reach), clampInt(top - reach), clampInt(right + 1 + reach),
            clampInt(bottom + 1 + reach)};
}

void StrokeTrail::add(const InkSpot& spot)
{
    if (count_ > 0 && spots_[count_ - 1].x == spot.x && spots_[count_ - 1].y == spot.y) {
        InkSpot& newest = spots_[count_ - 1];
        if (!(newest.pressure >= spot.pressure))
            newest.pressure = spot.pressure;
        return;
    }
    if (count_ == kLength) {
        std::copy(spots_.begin() + 1, spots_.end(), spots_.begin());
        --count_;
    }
    spots_[count_++] = spot;
}

IntRect StrokeTrail::inkArea(float penWidth) const
{
    // The last few points always; before them, each point whose successor
    // lies within the engine's look-ahead of the point before the newest
    // (straight distance, never longer than the path).
    constexpr std::size_t kFewest = 5;
    constexpr double kReach = 10.0;
    std::size_t first = count_ > kFewest ? count_ - kFewest : 0;
    if (count_ >= 2) {
        const InkSpot& before = spots_[count_ - 2];
        for (std::size_t i = 0; i < first; ++i) {
            const double dx = static_cast<double>(spots_[i + 1].x) - before.x;
            const double dy = static_cast<double>(spots_[i + 1].y) - before.y;
            if (std::sqrt(dx * dx + dy * dy) <= kReach) {
                first = i;
                break;
            }
        }
    }
    return inkBounds(spots_.data() + first, count_ - first, penWidth);
}

IntRect DirtyArea::take(const IntRect& bounds)
{
    const IntRect area = intersected(area_, bounds);
    area_ = {};
    return area;
}

} // namespace penwick
