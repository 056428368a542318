// Translucent ink with the real engine: whatever the preview drew while the
// pen moved, the finished picture (in the window and in the engine's own
// surface) is the committed strokes drawn alone, point by point, on white.
#include "test_support.h"

#include <lplines.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace pwtest;

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

template <typename Fn>
Fn engineEntry(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"libLPLines.dll"), name)));
}

// A white 32-bit bitmap in a memory DC.
class WhiteSurface {
public:
    WhiteSurface(int width, int height)
    {
        void* bits = nullptr;
        bitmap_ = createDib32(width, height, &bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    ~WhiteSurface()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    WhiteSurface(const WhiteSurface&) = delete;
    WhiteSurface& operator=(const WhiteSurface&) = delete;
    HDC dc() const { return dc_; }

private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The canvas's recorded path drawn again by a fresh engine instance,
// stroke by stroke, without any preview.
Image drawPathAlone(int canvas, float penWidth, float inkFlow)
{
    const auto create = engineEntry<int(WINAPI*)(LPLINES_HANDLE*, int)>("LPLinesCreate");
    const auto destroy = engineEntry<int(WINAPI*)(LPLINES_HANDLE)>("LPLinesDestroy");
    const auto setWidth = engineEntry<int(WINAPI*)(LPLINES_HANDLE, float)>("LPLinesSetPenWidth");
    const auto setFlow = engineEntry<int(WINAPI*)(LPLINES_HANDLE, float)>("LPLinesSetInkFlow");
    const auto setSize = engineEntry<int(WINAPI*)(LPLINES_HANDLE, int, int)>("LPLinesSetCanvasSize");
    const auto clear = engineEntry<int(WINAPI*)(LPLINES_HANDLE)>("LPLinesClear");
    const auto lineTo = engineEntry<int(WINAPI*)(LPLINES_HANDLE, HDC, float, float, float)>("LPLinesLineTo");
    const auto end = engineEntry<int(WINAPI*)(LPLINES_HANDLE, HDC)>("LPLinesEnd");
    LPLINES_HANDLE engine = nullptr;
    EXPECT_EQ(create(&engine, 0), 0);
    setWidth(engine, penWidth);
    setFlow(engine, inkFlow);
    setSize(engine, kWidth, kHeight);

    WhiteSurface target(kWidth, kHeight);
    int count = 0;
    EXPECT_EQ(GetDrawPathCount(canvas, &count), 0);
    for (int i = 0; i < count; ++i) {
        LPLinesPoint point{};
        EXPECT_EQ(GetDrawPathPoint(canvas, i, &point), 0);
        if (point.flags & LPLINES_POINT_BEGIN)
            clear(engine);
        lineTo(engine, target.dc(), point.x, point.y, point.pressure);
        if (point.flags & LPLINES_POINT_END)
            end(engine, target.dc());
    }
    destroy(engine);
    return capture(target.dc(), kWidth, kHeight);
}

class TranslucentInk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetProcAddress(GetModuleHandleW(L"libLPLines.dll"), "RecorderCallCount"), nullptr)
            << "this test wants the real engine";
        InitSDK();
        window = std::make_unique<HostWindow>(100, 100, kWidth, kHeight);
        ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
        ASSERT_EQ(SetPenWidth(canvas, kPenWidth), 0);
        ASSERT_EQ(SetCanvasInkFlow(canvas, kInkFlow), 0);
    }
    void TearDown() override
    {
        releaseLeft();
        DestroyCanvas(canvas);
        UninitSDK();
        window.reset();
    }
    // A slow loop that crosses itself, so preview ink and committed ink
    // land on the same pixels again and again.
    std::vector<POINT> loop(int centreX, int centreY, int radius) const
    {
        std::vector<POINT> points;
        for (int i = 0; i <= 40; ++i) {
            const double angle = i * 0.2;
            const int x = centreX + static_cast<int>(std::lround(radius * std::cos(angle) + i * 1.5));
            const int y = centreY + static_cast<int>(std::lround(radius * std::sin(angle)));
            points.push_back(window->toScreen(x, y));
        }
        return points;
    }
    void expectWindowAndEngineSurfaceEqualTheStrokesDrawnAlone()
    {
        const Image alone = drawPathAlone(canvas, kPenWidth, kInkFlow);
        EXPECT_GT(alone.countNot(0xFFFFFF), 500);
        const Image shown = captureClient(window->hwnd());
        EXPECT_LE(maxChannelDifference(shown, alone), 2);
        HDC engineDC = nullptr;
        ASSERT_EQ(GetCanvasDC(canvas, &engineDC), 0);
        EXPECT_LE(maxChannelDifference(capture(engineDC, kWidth, kHeight), alone), 2);
        // And the window shows what a copy of the whole surface shows.
        InvalidateRect(window->hwnd(), nullptr, FALSE);
        UpdateWindow(window->hwnd());
        EXPECT_EQ(maxChannelDifference(captureClient(window->hwnd()), shown), 0);
    }

    static constexpr float kPenWidth = 8.0f;
    static constexpr float kInkFlow = 0.4f;
    std::unique_ptr<HostWindow> window;
    int canvas = -1;
};

} // namespace

TEST_F(TranslucentInk, APreviewedStrokeEndsAsTheStrokeAlone)
{
    drawStroke(loop(110, 100, 45), 12);
    expectWindowAndEngineSurfaceEqualTheStrokesDrawnAlone();
}

TEST_F(TranslucentInk, CrossingStrokesAndClicksToo)
{
    drawStroke(loop(110, 100, 45), 12);
    drawStroke(loop(150, 90, 35), 12);
    click(window->toScreen(40, 40));
    expectWindowAndEngineSurfaceEqualTheStrokesDrawnAlone();
}

TEST_F(TranslucentInk, ChangingTheInkFlowMidStrokeLeavesNoGhosts)
{
    // The open stroke keeps the flow it began with; a preview with another
    // flow could not be composed with it and would stay as darker ink.
    const std::vector<POINT> points = loop(110, 100, 45);
    const std::size_t half = points.size() / 2;
    pressAndMove({points.begin(), points.begin() + half}, 12);
    ASSERT_EQ(SetCanvasInkFlow(canvas, 0.8f), 0);
    for (std::size_t i = half; i < points.size(); ++i) {
        moveCursor(points[i].x, points[i].y);
        pumpFor(12);
    }
    releaseLeft();
    pumpFor(120);
    expectWindowAndEngineSurfaceEqualTheStrokesDrawnAlone();
}
