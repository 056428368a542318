#include "test_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lplines::testing {

Canvas::Canvas(int width, int height, std::uint32_t fill)
    : pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill),
      view_{pixels_.data(), width, height, width}
{
}

int Canvas::darkest() const
{
    int best = 0;
    for (int y = 0; y < view_.height; ++y)
        for (int x = 0; x < view_.width; ++x)
            best = std::max(best, darkness(x, y));
    return best;
}

double Canvas::inkAcrossColumn(int x, int y0, int y1) const
{
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        sum += darkness(x, y) / 255.0;
    return sum;
}

int Canvas::largestDifference(const Canvas& other) const
{
    int worst = 0;
    for (int y = 0; y < view_.height; ++y)
        for (int x = 0; x < view_.width; ++x)
            for (int shift = 0; shift < 24; shift += 8) {
                const int a = static_cast<int>((at(x, y) >> shift) & 0xFF);
                const int b = static_cast<int>((other.at(x, y) >> shift) & 0xFF);
                worst = std::max(worst, std::abs(a - b));
            }
    return worst;
}

// Like a device context, the area is copied out and back, and whatever
// lies beyond the target's own size is dropped.
PixelView MemoryTarget::lock(const IntRect& area)
{
    locks_.push_back(area);
    scratch_.assign(static_cast<std::size_t>(area.area()), 0);
    const PixelView view{scratch_.data(), area.width(), area.height(), area.width()};
    const IntRect inside = area.intersected(canvas_.view().bounds());
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            view.at(x - area.left, y - area.top) = canvas_.at(x, y);
    return view;
}

void MemoryTarget::unlock(const IntRect& area)
{
    const PixelView view{scratch_.data(), area.width(), area.height(), area.width()};
    const IntRect inside = area.intersected(canvas_.view().bounds());
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            canvas_.view().at(x, y) = view.at(x - area.left, y - area.top);
}

TestEngine::TestEngine(Workshop& workshop, int width, int height) : surface_(width, height), engine_(workshop)
{
    engine_.setSurface(surface_.view());
}

void drawStroke(InkEngine& engine, const std::vector<StrokePoint>& points, TargetSurface* target)
{
    engine.beginStroke();
    std::uint32_t time = 1000;
    for (const StrokePoint& p : points)
        engine.lineTo(p.x, p.y, p.pressure, time += 5, target);
    engine.endStroke(target);
}

std::vector<StrokePoint> circlePoints(double cx, double cy, double radius, int count, float pressure)
{
    std::vector<StrokePoint> points;
    for (int i = 0; i <= count; ++i) {
        const double a = 2.0 * 3.14159265358979323846 * i / count;
        points.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a), pressure});
    }
    return points;
}

} // namespace lplines::testing
