#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace penwick;

namespace {
const IntRect kClient{0, 0, 300, 200};
}

TEST(DrawnRect, FirstPointStartsItAndLaterOnesWidenIt)
{
    IntRect drawn{1, 2, 3, 4};
    extendDrawnRect(drawn, false, 10, 20, kClient);
    EXPECT_EQ(drawn, (IntRect{10, 20, 10, 20}));
    extendDrawnRect(drawn, true, 5, 30, kClient);
    EXPECT_EQ(drawn, (IntRect{5, 20, 10, 30}));
    extendDrawnRect(drawn, true, 7, 25, kClient);
    EXPECT_EQ(drawn, (IntRect{5, 20, 10, 30}));
}

TEST(DrawnRect, IsClampedToTheClientArea)
{
    IntRect drawn;
    extendDrawnRect(drawn, false, 100, 50, kClient);
    // A pen-up point may lie outside the client area.
    extendDrawnRect(drawn, true, 450, 260, kClient);
    EXPECT_EQ(drawn, (IntRect{100, 50, 300, 200}));
    extendDrawnRect(drawn, true, -40, -9, kClient);
    EXPECT_EQ(drawn, (IntRect{0, 0, 300, 200}));
    // Only left and top are kept at 0 or more, right and bottom within.
    IntRect fresh;
    extendDrawnRect(fresh, false, -5, 250, kClient);
    EXPECT_EQ(fresh, (IntRect{0, 250, -5, 200}));
}

TEST(DrawnRectReport, GrowsByThePenWidthTruncatingTowardZero)
{
    const DrawnRectReport empty = growDrawnRect({}, 6.0f);
    EXPECT_EQ(empty.left, -6);
    EXPECT_EQ(empty.right, 6);
    EXPECT_EQ(empty.top, -6);
    EXPECT_EQ(empty.bottom, 6);

    const DrawnRectReport report = growDrawnRect({10, 20, 110, 70}, 2.5f);
    EXPECT_EQ(report.left, 7);      // 7.5
    EXPECT_EQ(report.right, 112);   // 112.5
    EXPECT_EQ(report.top, 17);      // 17.5
    EXPECT_EQ(report.bottom, 72);   // 72.5

    const DrawnRectReport negative = growDrawnRect({1, 1, 1, 1}, 2.5f);
    EXPECT_EQ(negative.left, -1);   // -1.5 truncates toward zero
    EXPECT_EQ(negative.top, -1);

    const DrawnRectReport released = growDrawnRect({10, 20, 30, 40}, 0.0f);
    EXPECT_EQ(released.left, 10);
    EXPECT_EQ(released.bottom, 40);
}

TEST(DrawnRectReport, NonsenseWidthsDoNotOverflow)
{
    const DrawnRectReport nan = growDrawnRect({10, 20, 30, 40}, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(nan.left, 0);
    const DrawnRectReport huge = growDrawnRect({10, 20, 30, 40}, 1e30f);
    EXPECT_EQ(huge.left, std::numeric_limits<int>::min());
    EXPECT_EQ(huge.right, std::numeric_limits<int>::max());
}

TEST(InkBounds, HoldsTheInkOfTheStrongestPoint)
{
    const InkSpot dot{50, 60, 1.0f};
    const IntRect bounds = inkBounds(&dot, 1, 6.0f);
    EXPECT_LE(bounds.left, 50 - 3 - 1);
    EXPECT_GE(bounds.right, 50 + 3 + 2);
    EXPECT_LE(bounds.top, 60 - 3 - 1);
    EXPECT_GE(bounds.bottom, 60 + 3 + 2);
    // Small enough that copying it costs little.
    EXPECT_LE(bounds.width(), 20);

    const InkSpot heavy{50, 60, 4.0f};
    EXPECT_GE(inkBounds(&heavy, 1, 10.0f).width(), 40);
    // Light points still reserve at least the pen's own width.
    const InkSpot light{50, 60, 0.04f};
    EXPECT_EQ(inkBounds(&light, 1, 6.0f), bounds);
    EXPECT_TRUE(inkBounds(nullptr, 0, 6.0f).isEmpty());
}

TEST(InkBounds, LeavesRoomForCurvesBulgingPastThePoints)
{
    const InkSpot spots[] = {{0, 0, 1.0f}, {100, 0, 1.0f}, {100, 100, 1.0f}};
    const IntRect bounds = inkBounds(spots, 3, 2.0f);
    EXPECT_LE(bounds.left, -25);
    EXPECT_GE(bounds.right, 125);
    EXPECT_LE(bounds.top, -25);
    EXPECT_GE(bounds.bottom, 125);
}

// The area a point changes: the last five points of a fast stroke, the
// last ten pixels or so of a slow one, and a resting pen pushes nothing out.
TEST(StrokeTrail, CoversWhatTheEngineMayStillRedraw)
{
    const struct {
        const char* name;
        int step;
        int points;
        int repeatsOfTheLast;
        int leftAtMost;    // the oldest point the engine may redraw from
        int leftAbove;     // not the whole stroke
    } cases[] = {
        {"fast", 10, 10, 0, 50, 30},      // points 50 to 90
        {"slow", 1, 41, 0, 28, 10},       // 29 lies within 10 px of 39; from the point before it
        {"resting pen", 10, 10, 20, 50, 30},
    };
    for (const auto& c : cases) {
        StrokeTrail trail;
        for (int i = 0; i < c.points; ++i)
            trail.add({i * c.step, 0, 1.0f});
        for (int i = 0; i < c.repeatsOfTheLast; ++i)
            trail.add({(c.points - 1) * c.step, 0, 1.0f});
        const IntRect area = trail.inkArea(1.0f);
        EXPECT_LE(area.left, c.leftAtMost) << c.name;
        EXPECT_GT(area.left, c.leftAbove) << c.name;
        EXPECT_GE(area.right, (c.points - 1) * c.step + 1) << c.name;
        trail.restart();
        EXPECT_TRUE(trail.inkArea(1.0f).isEmpty()) << c.name;
    }
}

TEST(DirtyArea, CollectsAndHandsOutWithinBounds)
{
    DirtyArea dirty;
    EXPECT_TRUE(dirty.isEmpty());
    dirty.add({10, 10, 20, 20});
    dirty.add({});
    dirty.add({280, 150, 320, 260});
    EXPECT_EQ(dirty.take(kClient), (IntRect{10, 10, 300, 200}));
    EXPECT_TRUE(dirty.isEmpty());
    EXPECT_TRUE(dirty.take(kClient).isEmpty());
    dirty.add({400, 400, 410, 410});
    EXPECT_TRUE(dirty.take(kClient).isEmpty());
}

TEST(Rects, UniteAndIntersect)
{
    EXPECT_EQ(united({}, {1, 2, 3, 4}), (IntRect{1, 2, 3, 4}));
    EXPECT_EQ(united({0, 0, 2, 2}, {5, 5, 6, 6}), (IntRect{0, 0, 6, 6}));
    EXPECT_EQ(intersected({0, 0, 10, 10}, {5, 5, 20, 20}), (IntRect{5, 5, 10, 10}));
    EXPECT_TRUE(intersected({0, 0, 10, 10}, {10, 0, 20, 10}).isEmpty());
    EXPECT_TRUE(kClient.contains(0, 0));
    EXPECT_FALSE(kClient.contains(300, 10));
    EXPECT_FALSE(kClient.contains(-1, 10));
}
