// penwick.dll in a folder without libLPLines.dll.
#include "test_support.h"

#include <gtest/gtest.h>

using namespace pwtest;

TEST(MissingEngine, TheLibraryStaysUnusableButCounted)
{
    ASSERT_EQ(GetFileAttributesW((exeFolder() + L"libLPLines.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    HostWindow window(40, 40, 200, 150, false);

    EXPECT_EQ(InitSDK(), 1);
    int canvas = 7;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 1);
    EXPECT_EQ(canvas, -1);
    EXPECT_TRUE(window.hasItsOwnProcedure());
    float width = 0.0f;
    int drawn = 0;
    EXPECT_EQ(GetPenWidth(1, &width), 1);
    EXPECT_EQ(IsCanvasDrawed(1, &drawn), 1);
    EXPECT_EQ(SetCanvasAutoPaint(1, 0), 1);
    EXPECT_EQ(DestroyCanvas(1), 1);

    // Later calls count too, and fail the same way.
    EXPECT_EQ(InitSDK(), 1);
    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 1);
    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(UninitSDK(), 0);

    // Nothing is left to stop a later start-up.
    EXPECT_EQ(InitSDK(), 1);
    EXPECT_EQ(UninitSDK(), 0);
}

TEST(MissingEngine, ShutDownStillUnloadsWintab)
{
    DebugOutputCapture debug;
    InitSDK();
    UninitSDK();
    ASSERT_FALSE(debug.texts().empty());
    EXPECT_EQ(debug.texts().back(), "UnloadWintab()\n");
}
