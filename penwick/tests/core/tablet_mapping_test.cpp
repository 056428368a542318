#include "core/tablet_mapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

using namespace penwick;

namespace {

const ScreenArea kOneMonitor{0, 0, 1920, 1080};

ScreenPoint mapped(std::int32_t x, std::int32_t y, std::int32_t extentX = 10000, std::int32_t extentY = 8000)
{
    const std::optional<ScreenPoint> point = tabletToScreen(x, y, extentX, extentY, kOneMonitor);
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
    const std::optional<ScreenPoint> exact = tabletToScreen(300, 100, 1920, 1080, kOneMonitor);
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
    EXPECT_EQ(tabletToScreen(INT_MAX, 0, 1, 1, kOneMonitor)->x, INT_MAX);   // clamped, not wrapped
}

TEST(TabletMapping, AContextWithoutAnInputAreaHasNoPositions)
{
    EXPECT_FALSE(tabletToScreen(100, 100, 0, 8000, kOneMonitor).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, 10000, 0, kOneMonitor).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, -10000, 8000, kOneMonitor).has_value());
    EXPECT_FALSE(tabletToScreen(100, 100, 10000, INT_MIN, kOneMonitor).has_value());
    EXPECT_TRUE(tabletToScreen(0, 0, 1, 1, kOneMonitor).has_value());
}

TEST(TabletMapping, TheInputAreaCoversEveryMonitor)
{
    // The tablet spans the virtual screen, whose origin lies left of and
    // above the primary monitor when monitors lie there.
    struct Layout {
        const char* name;
        ScreenArea screen;
    };
    const std::vector<Layout> layouts = {
        {"one monitor", {0, 0, 1920, 1080}},
        {"second monitor on the left", {-1280, 0, 3200, 1080}},
        {"second monitor above", {0, -1024, 1920, 2104}},
        {"left and above", {-1280, -1024, 3200, 2104}},
        {"right of the primary only", {0, 0, 3840, 1080}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const ScreenArea& s = layout.screen;
        const std::int32_t extentX = s.width;   // one tablet unit per pixel
        const std::int32_t extentY = s.height;
        const auto at = [&](std::int32_t x, std::int32_t y) {
            return tabletToScreen(x, y, extentX, extentY, s).value_or(ScreenPoint{INT_MIN, INT_MIN});
        };
        // The tablet's corners are the virtual screen's.
        EXPECT_EQ(at(0, extentY - 1).x, s.left);
        EXPECT_EQ(at(0, extentY - 1).y, s.top);
        EXPECT_EQ(at(extentX - 1, 0).x, s.left + s.width - 1);
        EXPECT_EQ(at(extentX - 1, 0).y, s.top + s.height - 1);
        // The primary monitor's top-left pixel and one inside it.
        EXPECT_EQ(at(-s.left, extentY - 1 + s.top).x, 0);
        EXPECT_EQ(at(-s.left, extentY - 1 + s.top).y, 0);
        EXPECT_EQ(at(-s.left + 300, extentY - 1 + s.top - 100).x, 300);
        EXPECT_EQ(at(-s.left + 300, extentY - 1 + s.top - 100).y, 100);
    }
    // Beyond int's range the origin still clamps, never wraps.
    EXPECT_EQ(tabletToScreen(INT_MAX, 0, 1, 1, {100, 0, 1920, 1080})->x, INT_MAX);
    EXPECT_EQ(tabletToScreen(INT_MIN, 0, 1, 1, {-100, 0, 1920, 1080})->x, INT_MIN);
}

TEST(TabletMapping, ThePensFullPressureReadsAsOneWhateverItsLevels)
{
    struct Case {
        const char* pen;
        std::optional<PressureAxis> axis;
        std::uint32_t raw;
        float expected;
    };
    const std::optional<PressureAxis> unknown;
    const std::vector<Case> cases = {
        // 1024 levels, or a driver that cannot say: exactly raw / 1023
        {"1024 levels", PressureAxis{0, 1023}, 1023, 1023.0f / 1023.0f},
        {"1024 levels", PressureAxis{0, 1023}, 512, 512.0f / 1023.0f},
        {"1024 levels", PressureAxis{0, 1023}, 1, 1.0f / 1023.0f},
        {"1024 levels", PressureAxis{0, 1023}, 0, 0.0f},
        {"1024 levels, past its top", PressureAxis{0, 1023}, 2047, 2047.0f / 1023.0f},
        {"unknown", unknown, 1023, 1.0f},
        {"unknown", unknown, 700, 700.0f / 1023.0f},
        {"unknown, 2048 levels", unknown, 2047, 2047.0f / 1023.0f},
        {"unknown", unknown, UINT32_MAX, static_cast<float>(UINT32_MAX) / 1023.0f},
        // other ranges: their top reads as 1.0
        {"8192 levels", PressureAxis{0, 8191}, 8191, 1.0f},
        {"8192 levels", PressureAxis{0, 8191}, 1023, 1023.0f / 8191.0f},
        {"2048 levels", PressureAxis{0, 2047}, 2047, 1.0f},
        {"2048 levels", PressureAxis{0, 2047}, 1024, 1024.0f / 2047.0f},
        {"256 levels", PressureAxis{0, 255}, 255, 1.0f},
        {"range from 100", PressureAxis{100, 1123}, 1123, 1.0f},
        {"range from 100", PressureAxis{100, 1123}, 100, 0.0f},
        {"range from 100, below it", PressureAxis{100, 1123}, 50, 0.0f},   // never wrapped
        {"8192 levels, far past its top", PressureAxis{0, 8191}, UINT32_MAX,
         static_cast<float>(UINT32_MAX) / 8191.0f},
        // ranges no pen has: the 1024-level scale
        {"empty", PressureAxis{0, 0}, 1023, 1.0f},
        {"inverted", PressureAxis{1023, 0}, 512, 512.0f / 1023.0f},
        {"below zero", PressureAxis{-1, 1023}, 1023, 1.0f},
        {"widest", PressureAxis{INT32_MIN, INT32_MAX}, 1023, 1.0f},
    };
    for (const Case& c : cases) {
        const float pressure = tabletPressure(c.raw, pressureScaleFor(c.axis));
        EXPECT_EQ(pressure, c.expected) << c.pen << ", raw " << c.raw;
    }
    EXPECT_EQ(tabletPressure(INT32_MAX, pressureScaleFor(PressureAxis{0, INT32_MAX})), 1.0f);
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
