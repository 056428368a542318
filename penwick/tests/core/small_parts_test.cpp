#include "core/colour.h"
#include "core/debug_text.h"

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
