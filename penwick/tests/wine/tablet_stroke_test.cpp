// Strokes from the fake pen tablet: packets posted to the library's hidden
// window become points with the pen's own pressure on the canvas the pen
// writes on, and the mouse waits while the tablet is in use.
#include "canvas_test.h"
#include "tablet_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using namespace pwtest;
using recorder::Call;
using recorder::RecordedCall;

namespace {

struct PenSample {
    UINT buttons;
    int x;   // client coordinates
    int y;
    UINT pressure;
};

class TabletStroke : public CanvasTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tablet.available()) << kNotTheFakeTablet;
        ASSERT_TRUE(recorder.available());
        tablet.reset();
        // One tablet unit per pixel keeps the expected positions plain.
        tablet.setInputExtent(screenWidth, screenHeight);
        // Away from every canvas: none is active yet.
        moveCursor(screenWidth - 5, screenHeight - 5);
        pumpFor(30);
        window = std::make_unique<HostWindow>(100, 100, 300, 200);
        ASSERT_EQ(start(), 0);
    }
    void TearDown() override
    {
        CanvasTest::TearDown();
        tablet.reset();
    }

    // Shuts the library down and starts it again, with `configure` applied
    // to the tablet in between; InitSDK's result.
    int restart(const std::function<void()>& configure = {})
    {
        DestroyCanvas(canvas);
        UninitSDK();
        started = false;
        if (configure)
            configure();
        return start();
    }

    // The canvas becomes the active one through a mouse move over it.
    void activate(const HostWindow& host, int x = 150, int y = 100) const
    {
        const POINT point = host.toScreen(x, y);
        moveCursor(point.x, point.y);
        pumpFor(40);
    }
    // With one tablet unit per pixel of the virtual screen the library sees.
    POINT tabletPosition(const HostWindow& host, int x, int y) const
    {
        const POINT screen = host.toScreen(x, y);
        return {screen.x - seenScreen.left, seenScreen.bottom - 1 - screen.y};   // the tablet's y runs upward
    }
    // Posts one packet and pumps until the library has read it.
    void pen(const PenSample& sample, const HostWindow& host) const
    {
        const POINT position = tabletPosition(host, sample.x, sample.y);
        ASSERT_NE(tablet.post(sample.buttons, position.x, position.y, sample.pressure), 0u);
        EXPECT_TRUE(pumpUntil([&] { return tablet.queued() == 0; }, 2000));
        pumpMessages();
    }
    void pen(const PenSample& sample) const { pen(sample, *window); }

    static POINT cursor()
    {
        POINT point{};
        GetCursorPos(&point);
        return point;
    }

    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT seenScreen{0, 0, screenWidth, screenHeight};
    FakeTablet tablet;
};

bool samePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

float tabletPressure(UINT pressure)
{
    return static_cast<float>(pressure) / 1023.0f;
}

} // namespace

TEST_F(TabletStroke, APenStrokeIsDrawnWithTheTabletsOwnPressures)
{
    activate(*window);
    pen({0, 20, 50, 0});   // hovering: the cursor follows, nothing is drawn
    EXPECT_TRUE(samePoint(cursor(), window->toScreen(20, 50)));
    EXPECT_TRUE(linesOf(mainEngine).empty());

    const std::vector<PenSample> stroke = {
        {1, 30, 50, 300}, {1, 40, 52, 512}, {1, 50, 54, 700}, {4, 60, 56, 1023}, {1, 70, 58, 2047}, {0, 80, 60, 0},
    };
    for (const PenSample& sample : stroke)
        pen(sample);

    const std::vector<RecordedCall> calls = recorder.calls();
    const std::vector<RecordedCall> lines = linesOf(mainEngine);
    ASSERT_EQ(lines.size(), stroke.size());
    for (std::size_t i = 0; i < stroke.size(); ++i) {
        EXPECT_EQ(lines[i].floatArg[0], static_cast<float>(stroke[i].x)) << i;
        EXPECT_EQ(lines[i].floatArg[1], static_cast<float>(stroke[i].y)) << i;
        EXPECT_EQ(lines[i].floatArg[2], tabletPressure(stroke[i].pressure)) << i;   // unchanged, up to 2.0
    }
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(callsOf(calls, Call::clear, mainEngine).size(), 1u);   // a new stroke at pen down
    EXPECT_EQ(callsOf(calls, Call::end, mainEngine).size(), 1u);     // ended at pen up
    EXPECT_TRUE(linesOf(previewEngine).empty());                     // no preview, no queue

    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_TRUE(samePoint({window->notices[0].x, window->notices[0].y}, window->toScreen(30, 50)));
    EXPECT_EQ(window->notices[1].edge, 1u);
    EXPECT_TRUE(samePoint({window->notices[1].x, window->notices[1].y}, window->toScreen(80, 60)));
    EXPECT_TRUE(samePoint(cursor(), window->toScreen(80, 60)));
    EXPECT_GT(captureClient(window->hwnd()).countNot(0xFFFFFF), 20);
    int drawn = 0;
    EXPECT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 1);
}

TEST_F(TabletStroke, ThePensFullPressureIsTheEnginesFullPressure)
{
    // What the driver says of the pen's range -> the pressures drawn
    struct Pen {
        const char* name;
        std::optional<penwick::AXIS> axis;
        std::vector<UINT> raw;
        std::vector<float> drawn;
    };
    const std::vector<Pen> pens = {
        {"1024 levels", penwick::AXIS{0, 1023, 0, 0}, {300, 1023, 0}, {300 / 1023.0f, 1.0f, 0.0f}},
        {"a driver that cannot say", std::nullopt, {512, 1023, 2047, 0}, {512 / 1023.0f, 1.0f, 2047 / 1023.0f, 0.0f}},
        {"8192 levels", penwick::AXIS{0, 8191, 0, 0}, {1023, 4096, 8191, 0}, {1023 / 8191.0f, 4096 / 8191.0f, 1.0f, 0.0f}},
        {"2048 levels", penwick::AXIS{0, 2047, 0, 0}, {1023, 2047, 0}, {1023 / 2047.0f, 1.0f, 0.0f}},
    };
    for (const Pen& p : pens) {
        SCOPED_TRACE(p.name);
        ASSERT_EQ(restart([&] { tablet.setPressureAxis(p.axis); }), 0);
        activate(*window);
        for (std::size_t i = 0; i < p.raw.size(); ++i)
            pen({p.raw[i] != 0 ? 1u : 0u, 40 + 10 * static_cast<int>(i), 60, p.raw[i]});
        const std::vector<RecordedCall> lines = linesOf(mainEngine);
        ASSERT_EQ(lines.size(), p.drawn.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].floatArg[2], p.drawn[i]) << i;
    }
}

TEST_F(TabletStroke, ThePenLandsOnTargetWhereverTheMonitorsLie)
{
    // The virtual screen the library sees, around the real one at (0, 0).
    struct Layout {
        const char* name;
        RECT screen;
    };
    const std::vector<Layout> layouts = {
        {"one monitor", {0, 0, screenWidth, screenHeight}},
        {"a monitor on the left", {-1600, 0, screenWidth, screenHeight}},
        {"a monitor above", {0, -900, screenWidth, screenHeight}},
        {"monitors left, above and right", {-1600, -900, screenWidth + 1920, screenHeight + 200}},
    };
    const std::vector<PenSample> stroke = {{1, 30, 40, 500}, {1, 120, 90, 500}, {0, 250, 170, 0}};
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const VirtualScreenSeen seen(layout.screen);
        ASSERT_TRUE(seen.active());
        seenScreen = layout.screen;
        ASSERT_EQ(restart([&] {
            tablet.setInputExtent(seenScreen.right - seenScreen.left, seenScreen.bottom - seenScreen.top);
        }), 0);
        activate(*window);
        for (const PenSample& sample : stroke)
            pen(sample);
        EXPECT_TRUE(samePoint(cursor(), window->toScreen(250, 170)));
        const std::vector<RecordedCall> lines = linesOf(mainEngine);
        ASSERT_EQ(lines.size(), stroke.size());
        for (std::size_t i = 0; i < stroke.size(); ++i) {
            EXPECT_EQ(lines[i].floatArg[0], static_cast<float>(stroke[i].x)) << i;
            EXPECT_EQ(lines[i].floatArg[1], static_cast<float>(stroke[i].y)) << i;
        }
    }
}

TEST_F(TabletStroke, APenTouchingDownWithNoActiveCanvasOnlyMovesTheCursor)
{
    const POINT target = window->toScreen(50, 60);
    const POINT position = tabletPosition(*window, 50, 60);
    const UINT serial = tablet.post(1, position.x, position.y, 600);
    ASSERT_NE(serial, 0u);
    // Handled at once, to see the handler's answer: 1, no active canvas.
    EXPECT_EQ(SendMessageW(findTabletWindow(), penwick::kWtPacket, serial,
                           reinterpret_cast<LPARAM>(tablet.openRecord().context)),
              1);
    EXPECT_TRUE(samePoint(cursor(), target));
    pumpFor(50);
    EXPECT_TRUE(recorder.calls().empty());
    EXPECT_TRUE(window->notices.empty());

    // Once a mouse move has made the canvas active, the pen, still down,
    // begins a stroke: the dropped packet's buttons were not taken in.
    activate(*window, 60, 60);
    pen({1, 60, 60, 600});
    pen({0, 60, 60, 0});
    const std::vector<RecordedCall> lines = linesOf(mainEngine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].floatArg[2], tabletPressure(600));
    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[1].edge, 1u);
}

TEST_F(TabletStroke, TheMouseWaitsWhilePacketsFlowAndASecondAfterTheLast)
{
    activate(*window, 40, 100);
    // The user writes with the mouse while the tablet's packets flow.
    pen({0, 40, 100, 0});
    pressLeft();
    DWORD lastPacket = GetTickCount();
    for (int i = 1; i < 10; ++i) {
        pen({0, 40 + i * 10, 100, 0});   // a hovering pen, which moves the cursor too
        lastPacket = GetTickCount();
        pumpFor(100);
    }
    releaseLeft();
    pumpFor(100);
    EXPECT_TRUE(linesOf(mainEngine).empty());

    // Within a second of the last packet the mouse is still not sampled.
    const std::vector<POINT> early = {window->toScreen(40, 150), window->toScreen(80, 150),
                                      window->toScreen(120, 150)};
    drawStroke(early);
    const DWORD earlyEnd = GetTickCount() - lastPacket;
    ASSERT_LT(earlyEnd, 950u) << "too slow a machine to tell";
    EXPECT_TRUE(linesOf(mainEngine).empty());
    EXPECT_TRUE(window->notices.empty());

    // A second after it, the mouse draws again, from a fresh start.
    pumpFor(1100 - std::min<DWORD>(1100, GetTickCount() - lastPacket));
    std::vector<POINT> late;
    for (int i = 0; i < 12; ++i)
        late.push_back(window->toScreen(40 + i * 10, 60));
    drawStroke(late);
    const std::vector<RecordedCall> lines = linesOf(mainEngine);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0].floatArg[0], 40.0f);
    EXPECT_EQ(lines[0].floatArg[1], 60.0f);
    EXPECT_FLOAT_EQ(lines[0].floatArg[2], 0.2f);   // the mouse's own pen down
    ASSERT_EQ(window->notices.size(), 2u);
}

TEST_F(TabletStroke, AStrokeEndsOnTheCanvasItBeganOn)
{
    HostWindow other(400, 100, 300, 200);
    int otherCanvas = -1;
    ASSERT_EQ(InitCanvas(other.dc(), other.hwnd(), &otherCanvas), 0);
    int otherMain = 0;
    int otherPreview = 0;
    engines(otherMain, otherPreview);

    activate(*window);
    pen({1, 250, 100, 500});
    pen({1, 295, 100, 500});
    pen({1, 20, 100, 500}, other);   // over the other canvas, which the cursor makes active
    pumpFor(50);
    pen({1, 40, 100, 500}, other);
    pen({0, 60, 100, 0}, other);

    // Both points beyond the first canvas are not drawn, but the pen's
    // lifting ends its stroke there.
    const std::vector<RecordedCall> lines = linesOf(mainEngine);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(callsOf(recorder.calls(), Call::end, mainEngine).size(), 1u);
    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[1].edge, 1u);
    EXPECT_TRUE(samePoint({window->notices[1].x, window->notices[1].y}, other.toScreen(60, 100)));
    EXPECT_TRUE(other.notices.empty());
    EXPECT_TRUE(linesOf(otherMain).empty());

    // The next stroke belongs to the canvas under the pen.
    activate(other, 50, 50);
    pen({1, 50, 50, 400}, other);
    pen({0, 52, 50, 0}, other);
    EXPECT_EQ(linesOf(otherMain).size(), 2u);
    EXPECT_EQ(other.notices.size(), 2u);
    EXPECT_EQ(window->notices.size(), 2u);
    DestroyCanvas(otherCanvas);
}

TEST_F(TabletStroke, TheHostMayDestroyTheCanvasInsideItsHandler)
{
    activate(*window);
    window->onStroke = [&](WPARAM edge) {
        if (edge == 0) {
            EXPECT_EQ(DestroyCanvas(canvas), 0);
        }
    };
    pen({1, 50, 50, 500});
    ASSERT_EQ(window->notices.size(), 1u);
    EXPECT_TRUE(window->hasItsOwnProcedure());
    pen({1, 60, 50, 500});
    pen({0, 70, 50, 0});
    EXPECT_EQ(window->notices.size(), 1u);
    EXPECT_EQ(linesOf(mainEngine).size(), 1u);
    EXPECT_EQ(recorder.liveInstances(), 0);
    window->onStroke = nullptr;
}

TEST_F(TabletStroke, TheHostMayShutTheLibraryDownInsideItsHandler)
{
    activate(*window);
    window->onStroke = [&](WPARAM edge) {
        if (edge == 0) {
            EXPECT_EQ(UninitSDK(), 0);
        }
    };
    pen({1, 50, 50, 500});
    started = false;
    window->onStroke = nullptr;
    ASSERT_EQ(window->notices.size(), 1u);
    EXPECT_EQ(tablet.openRecord().closes, 1);
    EXPECT_EQ(findTabletWindow(), nullptr);
    EXPECT_EQ(recorder.liveInstances(), 0);
}

TEST_F(TabletStroke, PacketsThatAreNotOursAreIgnored)
{
    activate(*window);
    const POINT before = cursor();
    const HWND tabletWindow = findTabletWindow();
    const auto ours = tablet.openRecord().context;
    const auto foreign = reinterpret_cast<penwick::HCTX>(reinterpret_cast<std::uintptr_t>(ours) + 0x100);
    const POINT position = tabletPosition(*window, 30, 30);
    const UINT serial = tablet.post(1, position.x, position.y, 800);

    // Another context's packet is not even asked for: reading it would take
    // it from its owner.
    EXPECT_EQ(SendMessageW(tabletWindow, penwick::kWtPacket, serial, reinterpret_cast<LPARAM>(foreign)), 0);
    EXPECT_EQ(tablet.openRecord().packetReads, 0);
    EXPECT_EQ(tablet.queued(), 1);
    // A serial Wintab does not have leaves nothing to read.
    EXPECT_EQ(SendMessageW(tabletWindow, penwick::kWtPacket, serial + 1000, reinterpret_cast<LPARAM>(ours)), 0);
    EXPECT_TRUE(samePoint(cursor(), before));
    EXPECT_TRUE(recorder.calls().empty());
    EXPECT_TRUE(window->notices.empty());

    // The real one, posted with it, is still drawn.
    EXPECT_TRUE(pumpUntil([&] { return tablet.queued() == 0; }, 2000));
    pumpMessages();
    EXPECT_EQ(linesOf(mainEngine).size(), 1u);
    EXPECT_EQ(window->notices.size(), 1u);
}

TEST_F(TabletStroke, AContextWithoutAnInputAreaMovesAndDrawsNothing)
{
    for (const SIZE extent : {SIZE{0, 9500}, SIZE{15200, 0}, SIZE{-15200, 9500}}) {
        ASSERT_EQ(restart([&] { tablet.setInputExtent(extent.cx, extent.cy); }), 0);
        activate(*window);
        const POINT before = cursor();
        pen({1, 50, 50, 500});
        pen({0, 50, 50, 0});
        EXPECT_TRUE(samePoint(cursor(), before)) << extent.cx << " x " << extent.cy;
        EXPECT_TRUE(recorder.calls().empty());
        EXPECT_TRUE(window->notices.empty());
    }
}

TEST_F(TabletStroke, APacketDispatchedDuringShutDownIsDropped)
{
    activate(*window);
    const POINT before = cursor();
    tablet.setCloseDispatches(true);   // the driver's WTClose pumps this thread's messages
    const POINT position = tabletPosition(*window, 30, 30);
    ASSERT_NE(tablet.post(1, position.x, position.y, 800), 0u);
    EXPECT_EQ(UninitSDK(), 0);
    started = false;
    EXPECT_EQ(tablet.openRecord().closes, 1);
    EXPECT_TRUE(samePoint(cursor(), before));
    EXPECT_TRUE(linesOf(mainEngine).empty());
    EXPECT_TRUE(window->notices.empty());
}

TEST_F(TabletStroke, WithoutAContextCanvasesStillDrawWithTheMouse)
{
    ASSERT_EQ(restart([&] { tablet.setOpenFails(true); }), 1);
    std::vector<POINT> points;
    for (int i = 0; i < 12; ++i)
        points.push_back(window->toScreen(40 + i * 10, 80));
    drawStroke(points);
    EXPECT_GE(linesOf(mainEngine).size(), 6u);
    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[1].edge, 1u);
}

TEST_F(TabletStroke, ASecondStartUpAfterAFullShutDownTakesPackets)
{
    const faketablet::OpenRecord first = tablet.openRecord();
    ASSERT_EQ(restart(), 0);
    const faketablet::OpenRecord second = tablet.openRecord();
    EXPECT_EQ(second.opens, 2);
    EXPECT_NE(second.context, first.context);
    EXPECT_EQ(second.window, findTabletWindow());
    activate(*window);
    pen({1, 100, 100, 256});
    pen({1, 110, 100, 768});
    pen({0, 120, 100, 0});
    const std::vector<RecordedCall> lines = linesOf(mainEngine);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].floatArg[2], tabletPressure(256));
    EXPECT_EQ(lines[1].floatArg[2], tabletPressure(768));
    ASSERT_EQ(window->notices.size(), 2u);
}
