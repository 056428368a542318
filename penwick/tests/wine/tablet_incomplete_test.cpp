// A Wintab32.dll that lacks one of the 16 entry points (one the library
// never calls): no tablet, and the mouse still works.
#include "tablet_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pwtest;

TEST(IncompleteWintab, IsUnloadedAtOnceAndTheMouseStillWorks)
{
    FakeTablet tablet;
    ASSERT_TRUE(tablet.available()) << kNotTheFakeTablet;
    ASSERT_EQ(GetProcAddress(GetModuleHandleW(L"Wintab32.dll"), "WTPacketsGet"), nullptr);
    tablet.reset();

    DebugOutputCapture debug;
    EXPECT_EQ(InitSDK(), 1);
    EXPECT_EQ(debug.texts(), std::vector<std::string>{"UnloadWintab()\n"});
    EXPECT_EQ(tablet.openRecord().opens, 0);
    EXPECT_EQ(findTabletWindow(), nullptr);

    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);
    EXPECT_EQ(SetPenWidth(canvas, 4.0f), 0);
    EXPECT_EQ(UninitSDK(), 0);
    const std::vector<std::string> expected{"UnloadWintab()\n", "UnloadWintab()\n"};
    EXPECT_EQ(debug.texts(), expected);
}
