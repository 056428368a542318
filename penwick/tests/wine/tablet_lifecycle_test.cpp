// Start-up and shut-down with the fake pen tablet: the context the library
// opens, its debugger texts, and a driver that cannot open a context or
// faults while closing it.
#include "tablet_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace pwtest;

namespace {

class TabletLifecycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tablet.available()) << kNotTheFakeTablet;
        tablet.reset();
    }
    void TearDown() override
    {
        while (started-- > 0)
            UninitSDK();
        tablet.reset();
    }
    int start()
    {
        ++started;
        return InitSDK();
    }
    void stop()
    {
        --started;
        UninitSDK();
    }

    FakeTablet tablet;
    int started = 0;
};

// The default context the fake reports.
penwick::LOGCONTEXTW defaultContext()
{
    penwick::LOGCONTEXTW context{};
    using InfoFn = UINT(WINAPI*)(UINT, UINT, void*);
    const auto info = reinterpret_cast<InfoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Wintab32.dll"), "WTInfoW")));
    if (info != nullptr)
        info(penwick::kWtiDefContext, 0, &context);
    return context;
}

} // namespace

TEST_F(TabletLifecycle, OpensTheDefaultContextWithPacketsOfItsOwn)
{
    DebugOutputCapture debug;
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(debug.texts(), std::vector<std::string>{"Init OK"});

    const faketablet::OpenRecord record = tablet.openRecord();
    ASSERT_EQ(record.opens, 1);
    ASSERT_NE(record.context, nullptr);
    EXPECT_TRUE(record.enable);
    // The packets go to the hidden window of the thread that started the
    // library.
    const HWND tabletWindow = findTabletWindow();
    ASSERT_NE(tabletWindow, nullptr);
    EXPECT_EQ(record.window, tabletWindow);
    EXPECT_EQ(GetWindowThreadProcessId(tabletWindow, nullptr), GetCurrentThreadId());
    EXPECT_FALSE(IsWindowVisible(tabletWindow));

    // Three fields replaced, not extended; everything else as the tablet
    // reported it.
    const penwick::LOGCONTEXTW& opened = record.logContext;
    EXPECT_EQ(opened.lcPktData, 0x3DE3u);
    EXPECT_EQ(opened.lcPktMode, 0u);
    EXPECT_EQ(opened.lcOptions, 0x4u);
    penwick::LOGCONTEXTW expected = defaultContext();
    ASSERT_NE(expected.lcInExtX, 0);
    expected.lcPktData = 0x3DE3;
    expected.lcPktMode = 0;
    expected.lcOptions = 0x4;
    EXPECT_EQ(std::memcmp(&opened, &expected, sizeof expected), 0);
    EXPECT_EQ(tablet.openRecord().closes, 0);

    stop();
    EXPECT_EQ(tablet.openRecord().closes, 1);
    EXPECT_EQ(debug.texts().back(), "UnloadWintab()\n");
    EXPECT_EQ(findTabletWindow(), nullptr);
}

TEST_F(TabletLifecycle, OnlyTheLastShutDownClosesTheContext)
{
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(tablet.openRecord().opens, 1);
    stop();
    EXPECT_EQ(tablet.openRecord().closes, 0);
    EXPECT_NE(findTabletWindow(), nullptr);
    stop();
    EXPECT_EQ(tablet.openRecord().closes, 1);
    EXPECT_EQ(findTabletWindow(), nullptr);
}

TEST_F(TabletLifecycle, WithoutAContextTheLibraryRunsWithoutTablet)
{
    tablet.setOpenFails(true);
    DebugOutputCapture debug;
    EXPECT_EQ(start(), 1);
    EXPECT_TRUE(debug.texts().empty());   // no "Init OK", nothing else either
    EXPECT_EQ(tablet.openRecord().opens, 1);
    EXPECT_NE(findTabletWindow(), nullptr);   // kept until shut-down

    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);
    EXPECT_EQ(SetPenWidth(canvas, 4.0f), 0);
    EXPECT_EQ(start(), 0);   // a later start-up: ready, without tablet
    stop();
    stop();
    EXPECT_EQ(tablet.openRecord().closes, 0);   // nothing was open
    EXPECT_EQ(findTabletWindow(), nullptr);
    EXPECT_EQ(debug.texts(), std::vector<std::string>{"UnloadWintab()\n"});
}

TEST_F(TabletLifecycle, AFaultInsideWTCloseIsIgnored)
{
    Recorder recorder;
    tablet.setCloseFaults(true);
    DebugOutputCapture debug;
    ASSERT_EQ(start(), 0);
    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);

    stop();   // the driver writes through a null pointer inside WTClose
    EXPECT_EQ(tablet.openRecord().closes, 1);
    // The rest of the shut-down went on.
    EXPECT_EQ(debug.texts().back(), "UnloadWintab()\n");
    EXPECT_EQ(findTabletWindow(), nullptr);
    EXPECT_FALSE(tabletClassRegistered());
    EXPECT_TRUE(window.hasItsOwnProcedure());
    EXPECT_EQ(recorder.liveInstances(), 0);
    EXPECT_EQ(SetPenWidth(canvas, 4.0f), 1);

    // And the library starts again as new.
    tablet.setCloseFaults(false);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(tablet.openRecord().opens, 2);
    int again = -1;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &again), 0);
    stop();
    EXPECT_EQ(tablet.openRecord().closes, 2);
}
