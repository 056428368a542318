#include "core/tablet_mapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

using namespace penwick;

namespace {

ScreenPoint mapped(std::int32_t x, std::int32_t y, std::int32_t extentX = 10000, std::int32_t extentY = 8000)
{
    const std::optional<ScreenPoint> point = tabletToScreen(x, y, extentX, extentY, 1920, 1080);
    EXPECT_TRUE(point.has_value());
    return point.value_or(ScreenPoint{-1, -1});
}

} // namespace

TEST(TabletMapping, TheTabletsOriginIsTheScreensBottomLeft)
{
    // The tablet's y axis points up.
    EXPECT_EQ(mapped(0, 0).x, 0);
    EXPECT_EQ(mapped(0, 0).y, 1079);   // (1 - 0.5 / 8000) * 1080: the bottom row
    EXPECT_EQ(mapped(9999, 7999).x, 1919);
    EXPECT_EQ(mapped(9999, 7999).y, 0);
    EXPECT_EQ(mapped(5000, 4000).x, 960);
    EXPECT_EQ(mapped(5000, 4000).y, 539);
    // One unit per pixel: pkX is the column, pkY counts rows from the bottom.
    const std::optional<ScreenPoint> exact = tabletToScreen(300, 100, 1920, 1080, 1920, 1080);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->x, 300);
    EXPECT_EQ(exact->y, 1080 - 1 - 100);
}

TEST(TabletMapping, PositionsOffTheTabletStayNumbers)
{
    // Beyond the input area (a driver's overshoot): off the screen, which
    // moving the cursor clamps, but never wrapped around.
    EXPECT_LT(mapped(-200, 4000).x, 0);
    EXPECT_GT(mapped(12000, 4000).x, 1919);
    EXPECT_LT(mapped(5000, 9000).y, 0);
    EXPECT_GT(mapped(INT_MAX, 4000).x, 1919);
    EXPECT_LT(mapped(INT_MIN, 4000).x, 0);
    EXPECT_EQ(tabletToScreen(INT_MAX, 0, 1, 1, 1920, 1080)->x, INT_MAX);   // clamped, not wrapped
}

TEST(TabletMapping, AContextWithoutAnInputAreaHasNoPositions)
{
    EXPECT_FALSE(tabletToScreen(100, 100, 0, 8000, 1920, 1080).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, 10000, 0, 1920, 1080).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, -10000, 8000, 1920, 1080).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, 10000, INT_MIN, 1920, 1080).has_value());
    EXPECT_TRUE(tabletToScreen(0, 0, 1, 1, 1920, 1080).has_value());
}

TEST(TabletMapping, PressureIsTheRawValueOver1023)
{
    EXPECT_FLOAT_EQ(tabletPressure(1023), 1.0f);
    EXPECT_NEAR(tabletPressure(512), 0.5f, 0.001f);
    // A tablet with 2048 levels goes up to about 2.0: the divisor stays.
    EXPECT_NEAR(tabletPressure(2047), 2.0f, 0.001f);
    EXPECT_EQ(tabletPressure(0), 0.0f);
    EXPECT_GT(tabletPressure(UINT32_MAX), 4.0e6f);   // unsigned, never negative
}

TEST(TabletMapping, ThePensButtonsMakeTheKinds)
{
    // buttons of successive packets -> the kind of each one's point
    const std::vector<std::uint32_t> buttons = {0, 0, 1, 1, 5, 4, 0, 0, 2, 0};
    const std::vector<InkKind> expected = {
        InkKind::move,      // hovering: a move no stroke takes
        InkKind::move,
        InkKind::penDown,   // touches
        InkKind::move,
        InkKind::move,      // a barrel button as well: still a move
        InkKind::move,      // any pressed button counts
        InkKind::penUp,     // lifted
        InkKind::move,      // hovering again
        InkKind::penDown,   // a barrel button alone begins a stroke too
        InkKind::penUp,
    };
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(tabletPointKind(previous, buttons[i]), expected[i]) << i;
        previous = buttons[i];
    }
}
