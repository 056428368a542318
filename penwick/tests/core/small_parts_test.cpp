#include "core/colour.h"
#include "core/debug_text.h"
#include "core/tablet_mapping.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

using namespace penwick;

TEST(Colour, ColorrefToEngineKeepsAlpha)
{
    EXPECT_EQ(engineColorWithRgb(0xFF000000u, 0x000000FFu), 0xFFFF0000u);   // red
    EXPECT_EQ(engineColorWithRgb(0xFF000000u, 0x0000FF00u), 0xFF00FF00u);   // green
    EXPECT_EQ(engineColorWithRgb(0xFF000000u, 0x00FF0000u), 0xFF0000FFu);   // blue
    EXPECT_EQ(engineColorWithRgb(0x80123456u, 0x00332211u), 0x80112233u);
    // The COLORREF's top byte is not alpha.
    EXPECT_EQ(engineColorWithRgb(0xFF000000u, 0x7F000000u), 0xFF000000u);
}

TEST(Colour, EngineToColorrefDropsAlpha)
{
    EXPECT_EQ(colorrefFromEngineColor(0xFFFF0000u), 0x000000FFu);
    EXPECT_EQ(colorrefFromEngineColor(0x80112233u), 0x00332211u);
    for (std::uint32_t c : {0x00000000u, 0x00123456u, 0x00FFFFFFu, 0x00ABCDEFu})
        EXPECT_EQ(colorrefFromEngineColor(engineColorWithRgb(0xFF000000u, c)), c);
}

namespace {

bool format(DebugTextBuffer& buffer, const char* text, ...)
{
    std::va_list args;
    va_start(args, text);
    const bool fits = formatDebugText(buffer, text, args);
    va_end(args);
    return fits;
}

} // namespace

TEST(DebugText, SendsWhatFitsAndDropsTheRest)
{
    DebugTextBuffer buffer;
    ASSERT_TRUE(format(buffer, "LoadLibrary error: %i\n", 126));
    EXPECT_STREQ(buffer.data(), "LoadLibrary error: 126\n");

    const std::string fits(126, 'x');
    ASSERT_TRUE(format(buffer, "%s", fits.c_str()));
    EXPECT_EQ(std::string(buffer.data()), fits);

    const std::string tooLong(127, 'y');
    EXPECT_FALSE(format(buffer, "%s", tooLong.c_str()));
    const std::string huge(100000, 'z');
    EXPECT_FALSE(format(buffer, "%s and %s", huge.c_str(), huge.c_str()));
    EXPECT_EQ(buffer[buffer.size() - 1], '\0');
    EXPECT_FALSE(format(buffer, nullptr));
}

TEST(TabletMapping, PositionFromTabletToScreen)
{
    // The tablet's y axis points up; its origin is the screen's bottom left.
    const ScreenPoint origin = tabletToScreen(0, 0, 10000, 8000, 1920, 1080);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 1079);   // (1 - 0.5 / 8000) * 1080
    const ScreenPoint top = tabletToScreen(9999, 7999, 10000, 8000, 1920, 1080);
    EXPECT_EQ(top.x, 1919);
    EXPECT_EQ(top.y, 0);
    const ScreenPoint middle = tabletToScreen(5000, 4000, 10000, 8000, 1920, 1080);
    EXPECT_EQ(middle.x, 960);
    EXPECT_EQ(middle.y, 539);
}

TEST(TabletMapping, PressureAndKinds)
{
    EXPECT_FLOAT_EQ(tabletPressure(1023), 1.0f);
    EXPECT_NEAR(tabletPressure(512), 0.5f, 0.001f);
    EXPECT_NEAR(tabletPressure(2047), 2.0f, 0.001f);
    EXPECT_EQ(tabletPressure(0), 0.0f);

    EXPECT_EQ(tabletPointKind(0, 0), InkKind::move);      // hovering
    EXPECT_EQ(tabletPointKind(0, 1), InkKind::penDown);
    EXPECT_EQ(tabletPointKind(1, 1), InkKind::move);
    EXPECT_EQ(tabletPointKind(1, 4), InkKind::move);      // any button counts
    EXPECT_EQ(tabletPointKind(4, 0), InkKind::penUp);
}
