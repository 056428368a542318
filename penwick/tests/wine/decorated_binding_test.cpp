// An engine that exports LPLinesGetCanvasDC only under its decorated name.
#include "test_support.h"

#include <gtest/gtest.h>

using namespace pwtest;
using recorder::Call;

TEST(DecoratedEngine, GetCanvasDCIsFoundUnderItsDecoratedName)
{
    Recorder recorder;
    ASSERT_TRUE(recorder.available());
    HMODULE engine = GetModuleHandleW(L"libLPLines.dll");
    ASSERT_EQ(GetProcAddress(engine, "LPLinesGetCanvasDC"), nullptr);
    ASSERT_NE(GetProcAddress(engine, "_LPLinesGetCanvasDC@8"), nullptr);

    InitSDK();
    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);
    HDC dc = nullptr;
    ASSERT_EQ(GetCanvasDC(canvas, &dc), 0);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_FALSE(callsOf(recorder.calls(), Call::getCanvasDC).empty());
    DestroyCanvas(canvas);
    UninitSDK();
}
