// Pixel checks of the ink as it lands on the engine's own surface.
#include "test_canvas.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace lplines {
namespace {

using testing::Canvas;
using testing::circlePoints;
using testing::drawStroke;
using testing::StrokePoint;
using testing::TestEngine;

std::vector<StrokePoint> horizontal(double y, float pressure, double x0 = 20, double x1 = 180)
{
    std::vector<StrokePoint> points;
    for (double x = x0; x <= x1; x += 8)
        points.push_back({x, y, pressure});
    return points;
}

TEST(Raster, WidthIsPenWidthTimesPressure)
{
    for (const float pressure : {0.5f, 1.0f, 1.5f, 2.0f}) {
        Workshop workshop;
        TestEngine engine(workshop, 200, 100);
        engine->setPenWidth(6.0f);
        drawStroke(*engine, horizontal(50, pressure), nullptr);
        EXPECT_NEAR(engine.surface().inkAcrossColumn(100, 0, 100), 6.0 * pressure, 0.15) << pressure;
    }
}

TEST(Raster, EdgesAreAntiAliased)
{
    Workshop workshop;
    TestEngine engine(workshop, 200, 100);
    engine->setPenWidth(5.0f);
    drawStroke(*engine, horizontal(50.3, 1.0f), nullptr);   // edges at 47.8 and 52.8
    const Canvas& s = engine.surface();
    // Pixel 48 spans 47.5 to 48.5, so 70 % of it is inked; pixel 53, 30 %.
    EXPECT_EQ(s.darkness(100, 47), 0);
    EXPECT_NEAR(s.darkness(100, 48), 0.7 * 255, 4);
    EXPECT_EQ(s.darkness(100, 50), 255);
    EXPECT_NEAR(s.darkness(100, 53), 0.3 * 255, 4);
    EXPECT_EQ(s.darkness(100, 54), 0);

    // A slanted line has partly covered pixels all along both edges.
    TestEngine slanted(workshop, 200, 200);
    drawStroke(*slanted, {{20, 20, 1.0f}, {180, 120, 1.0f}}, nullptr);
    int partial = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const int d = slanted.surface().darkness(x, y);
            partial += d > 10 && d < 245;
        }
    EXPECT_GT(partial, 2 * 150);
}

TEST(Raster, SixteenPointCircleIsRoundNotAPolygon)
{
    Workshop workshop;
    TestEngine engine(workshop, 240, 240);
    engine->setPenWidth(3.0f);
    drawStroke(*engine, circlePoints(120, 120, 90, 16, 1.0f), nullptr);

    // Along rays between the sampled points (where a polygon's chords lie
    // 1.7 px inside the circle), the ink's centre stays on the circle. The
    // first and last pieces of an open stroke have no neighbour on one side
    // and are left out.
    for (int i = 1; i < 15; ++i) {
        const double a = 2.0 * 3.14159265358979323846 * (i + 0.5) / 16;
        double weighted = 0.0, total = 0.0;
        for (double r = 80; r <= 100; r += 0.25) {
            const int x = static_cast<int>(std::lround(120 + r * std::cos(a)));
            const int y = static_cast<int>(std::lround(120 + r * std::sin(a)));
            const double d = engine.surface().darkness(x, y);
            weighted += d * r;
            total += d;
        }
        ASSERT_GT(total, 0.0);
        EXPECT_NEAR(weighted / total, 90.0, 0.5) << "ray " << i;
    }
}

// A click reports hardly any pressure (or a tablet's hard press) and may
// jitter: a stroke within the pen's width leaves a round dot on the middle
// of its points, as wide as a line of the pen, or as the press asks.
TEST(Raster, AClickLeavesARoundDotAsWideAsThePen)
{
    const struct {
        float pen;
        std::vector<StrokePoint> points;
        double diameter;
    } cases[] = {
        {2.0f, {{30, 30, 0.08f}, {30, 30, 0.04f}}, 2.1},
        {6.0f, {{30, 30, 0.05f}, {31, 30, 0.02f}, {31, 31, 0.0f}}, 6.1},
        {16.0f, {{30, 30, 0.2f}, {30, 30, 0.0f}}, 16.1},
        {4.0f, {{30, 30, 2.0f}, {30, 30, 0.0f}}, 8.0},
        // The dot over an i, a little scribble within the pen's width.
        {6.0f, {{30, 30, 0.2f}, {32, 29, 0.4f}, {33, 31, 0.6f}, {31, 33, 0.8f}, {29, 31, 1.0f}, {30, 30, 0.0f}}, 6.1},
    };
    for (const auto& c : cases) {
        Workshop workshop;
        TestEngine engine(workshop, 60, 60);
        engine->setPenWidth(c.pen);
        drawStroke(*engine, c.points, nullptr);
        const Canvas& s = engine.surface();
        double cx = 0, cy = 0, total = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                total += s.darkness(x, y);
                cx += s.darkness(x, y) * x;
                cy += s.darkness(x, y) * y;
            }
        ASSERT_GT(total, 0) << c.pen;
        cx /= total;
        cy /= total;
        // Whole dark pixels and the half-covered rim, across its middle row
        // and column: the diameter both ways.
        const int row = static_cast<int>(std::lround(cy)), column = static_cast<int>(std::lround(cx));
        double across = 0, down = 0;
        for (int i = 0; i < 60; ++i) {
            across += s.darkness(i, row) / 255.0;
            down += s.darkness(column, i) / 255.0;
        }
        EXPECT_NEAR(across, c.diameter, 0.35) << "pen " << c.pen;
        EXPECT_NEAR(down, across, 0.2) << "pen " << c.pen;
        EXPECT_NEAR(total / 255.0, 3.14159 * c.diameter * c.diameter / 4, 0.5 + 0.03 * c.diameter * c.diameter)
            << "pen " << c.pen;
    }
}

TEST(Raster, FallingPressureTapersToAFadingHairline)
{
    Workshop workshop;
    TestEngine engine(workshop, 240, 60);
    engine->setPenWidth(10.0f);
    std::vector<StrokePoint> points;
    for (int i = 0; i <= 20; ++i)
        points.push_back({20.0 + 10 * i, 30, 1.0f - i / 20.0f});
    drawStroke(*engine, points, nullptr);
    const Canvas& s = engine.surface();
    double previous = 1e9;
    for (int x = 30; x <= 210; x += 20) {
        const double across = s.inkAcrossColumn(x, 0, 60);
        EXPECT_LT(across, previous + 0.05) << x;   // never widens again
        previous = across;
    }
    EXPECT_GT(s.inkAcrossColumn(218, 0, 60), 0.2);  // the very end still shows
    EXPECT_LT(s.darkness(219, 30), 200);             // but faded
}

TEST(Raster, OverlapsNeverDarkenHalfTransparentInk)
{
    const std::uint32_t colors[] = {0x80000000u, 0xFF000000u};
    const float flows[] = {1.0f, 0.5f};
    for (int k = 0; k < 2; ++k) {
        Workshop workshop;
        TestEngine engine(workshop, 200, 200);
        engine->setColor(colors[k]);
        engine->setInkFlow(flows[k]);
        engine->setPenWidth(8.0f);
        // Slow zig-zag that doubles back over itself many times.
        std::vector<StrokePoint> points;
        for (int i = 0; i < 40; ++i)
            points.push_back({60.0 + (i % 2) * 80 + i * 0.5, 100.0 + (i % 3), 1.0f});
        points.push_back({100, 40, 1.0f});
        points.push_back({100, 160, 1.0f});
        drawStroke(*engine, points, nullptr);
        // Single-layer darkness of 128/255 opacity over white.
        EXPECT_NEAR(engine.surface().darkest(), 128, 1) << k;
    }
}

TEST(Raster, InkIsClippedAtTheCanvasEdges)
{
    Workshop workshop;
    TestEngine engine(workshop, 200, 100);
    engine->setPenWidth(50.0f);
    drawStroke(*engine, {{-80, 10, 4.0f}, {100, -300, 4.0f}, {280, 90, 4.0f}, {100, 400, 4.0f}}, nullptr);
    const Canvas& s = engine.surface();
    EXPECT_EQ(s.darkness(0, 10), 255);
    EXPECT_EQ(s.darkness(199, 90), 255);
}

TEST(Raster, HugeNegativeAndNanCoordinatesAreSafe)
{
    Workshop workshop;
    TestEngine engine(workshop, 200, 100);
    engine->beginStroke();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(engine->lineTo(nan, 10, 1.0f, 0, nullptr), Status::badArgument);
    EXPECT_EQ(engine->lineTo(10, inf, 1.0f, 0, nullptr), Status::badArgument);
    EXPECT_EQ(engine->lineTo(10, 10, std::numeric_limits<float>::quiet_NaN(), 0, nullptr), Status::badArgument);
    EXPECT_TRUE(engine->path().empty());

    // Far beyond the canvas on both sides: still a straight line across it.
    EXPECT_EQ(engine->lineTo(-3e38, 50, 1.0f, 0, nullptr), Status::ok);
    EXPECT_EQ(engine->lineTo(3e38, 50, 1.0f, 0, nullptr), Status::ok);
    engine->endStroke(nullptr);
    EXPECT_GT(engine.surface().darkness(0, 50), 200);
    EXPECT_GT(engine.surface().darkness(199, 50), 200);

    const auto start = std::chrono::steady_clock::now();
    engine->beginStroke();
    EXPECT_EQ(engine->lineTo(100, -1e30, std::numeric_limits<float>::infinity(), 0, nullptr), Status::ok);
    EXPECT_EQ(engine->lineTo(-2147483648.0, 2147483648.0, -5.0f, 0, nullptr), Status::ok);
    EXPECT_EQ(engine->lineTo(1e-30, 3e38, 1e30f, 0, nullptr), Status::ok);
    EXPECT_EQ(engine->lineTo(150, 50, 1.0f, 0, nullptr), Status::ok);
    engine->endStroke(nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(engine->path().size(), 6u);
}

} // namespace
} // namespace lplines
