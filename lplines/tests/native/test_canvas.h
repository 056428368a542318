// Pixel buffers and a recording target for the engine's unit tests.
#pragma once

#include "ink_engine.h"
#include "pixels.h"

#include <cstdint>
#include <vector>

namespace lplines::testing {

class Canvas {
public:
    Canvas(int width, int height, std::uint32_t fill = kWhite);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    const PixelView& view() const { return view_; }
    std::uint32_t at(int x, int y) const { return view_.at(x, y); }
    // How dark a pixel is, 0 (white) to 255 (black), from its green byte.
    int darkness(int x, int y) const { return 255 - static_cast<int>((at(x, y) >> 8) & 0xFF); }
    int darkest() const;
    // Sum of darkness/255 down column x between rows y0 and y1: the width of
    // a horizontal line of black ink there.
    double inkAcrossColumn(int x, int y0, int y1) const;
    int largestDifference(const Canvas& other) const;

private:
    std::vector<std::uint32_t> pixels_;
    PixelView view_;
};

// A target whose pixels live in memory; remembers every locked area.
class MemoryTarget : public TargetSurface {
public:
    MemoryTarget(int width, int height, std::uint32_t fill = kWhite) : canvas_(width, height, fill) {}

    std::uintptr_t identity() const override { return reinterpret_cast<std::uintptr_t>(this); }
    PixelView lock(const IntRect& area) override;
    void unlock(const IntRect& area) override;

    Canvas& canvas() { return canvas_; }
    std::vector<IntRect>& locks() { return locks_; }

private:
    Canvas canvas_;
    std::vector<IntRect> locks_;
    std::vector<std::uint32_t> scratch_;
};

// An engine with a white own surface of the given size.
class TestEngine {
public:
    TestEngine(Workshop& workshop, int width, int height);
    InkEngine& operator*() { return engine_; }
    InkEngine* operator->() { return &engine_; }
    Canvas& surface() { return surface_; }

private:
    Canvas surface_;
    InkEngine engine_;
};

struct StrokePoint {
    double x;
    double y;
    float pressure;
};

void drawStroke(InkEngine& engine, const std::vector<StrokePoint>& points, TargetSurface* target);
std::vector<StrokePoint> circlePoints(double cx, double cy, double radius, int count, float pressure);

} // namespace lplines::testing
