// Strokes drawn with real input (SendInput) on real windows, checked
// through the recording engine's log, the window's pixels and the host's
// notifications.
#include "canvas_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

using namespace pwtest;
using recorder::Call;
using recorder::RecordedCall;

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

class Stroke : public CanvasTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.available());
        window = std::make_unique<HostWindow>(100, 100, kWidth, kHeight);
        start();
    }

    // Client points (x0 + i * dx, y0 + i * dy) as screen points.
    std::vector<POINT> line(const HostWindow& host, int x0, int y0, int dx, int dy, int count) const
    {
        std::vector<POINT> points;
        for (int i = 0; i < count; ++i)
            points.push_back(host.toScreen(x0 + i * dx, y0 + i * dy));
        return points;
    }
    std::vector<RecordedCall> mainLines() const { return linesOf(mainEngine); }

    // A click on `host` made without pumping, until the drawing thread
    // waits for this thread: it sends the stroke's notifications, and under
    // Wine its ClipCursor at pen-down is a message to this thread too.
    static bool clickWhileNotPumping(const HostWindow& host, int x, int y)
    {
        const POINT spot = host.toScreen(x, y);
        moveCursor(spot.x - 1, spot.y);
        pumpFor(20);
        moveCursor(spot.x, spot.y);
        pumpFor(40);   // the canvas becomes the active one
        pressLeft();
        Sleep(80);
        releaseLeft();
        return waitForSentMessage();
    }
    // Waits without pumping until another thread waits for this one.
    static bool waitForSentMessage()
    {
        const DWORD start = GetTickCount();
        while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0) {
            if (GetTickCount() - start > 2000)
                return false;
            Sleep(2);
        }
        return true;
    }
    // What detaching left behind: the mouse captured, or the cursor clipped.
    static void expectNoCaptureAndNoClip()
    {
        EXPECT_EQ(GetCapture(), nullptr);
        RECT clip{};
        GetClipCursor(&clip);
        EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
        EXPECT_EQ(clip.bottom - clip.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    }
};

enum class HostCall { none, destroy, shutDown };

struct PreviewPass {
    std::vector<RecordedCall> lines;   // the committed point, then the queue
    std::size_t mainLinesBefore = 0;
};

// Splits the log into preview passes: inkflow, clear, two DCs, lines, end.
std::vector<PreviewPass> previewPasses(const std::vector<RecordedCall>& calls, int mainEngine, int previewEngine)
{
    std::vector<PreviewPass> passes;
    std::size_t mainLines = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const RecordedCall& call = calls[i];
        if (call.call == Call::lineTo && call.instance == mainEngine)
            ++mainLines;
        if (call.call != Call::setInkFlow || call.instance != previewEngine || i + 1 >= calls.size()
            || calls[i + 1].call != Call::clear || calls[i + 1].instance != previewEngine)
            continue;
        PreviewPass pass;
        pass.mainLinesBefore = mainLines;
        std::size_t j = i + 2;
        EXPECT_EQ(calls[j].call, Call::getCanvasDC);
        EXPECT_EQ(calls[j].instance, previewEngine);
        EXPECT_EQ(calls[j + 1].call, Call::getCanvasDC);
        EXPECT_EQ(calls[j + 1].instance, mainEngine);
        for (j += 2; j < calls.size() && calls[j].call == Call::lineTo && calls[j].instance == previewEngine; ++j)
            pass.lines.push_back(calls[j]);
        EXPECT_LT(j, calls.size());
        if (j < calls.size()) {
            EXPECT_EQ(calls[j].call, Call::end);
            EXPECT_EQ(calls[j].instance, previewEngine);
        }
        passes.push_back(pass);
    }
    return passes;
}

bool samePosition(const RecordedCall& a, const RecordedCall& b)
{
    return a.floatArg[0] == b.floatArg[0] && a.floatArg[1] == b.floatArg[1];
}

// Whether the engine was given client points of `points`, in their order,
// beginning with the first and ending with the last. A heavily loaded
// machine may let the polling thread miss a position in between.
bool followsThePath(const std::vector<RecordedCall>& lines, const std::vector<POINT>& clientPoints)
{
    if (lines.empty() || clientPoints.empty())
        return false;
    std::size_t next = 0;
    for (const RecordedCall& line : lines) {
        while (next < clientPoints.size()
               && (line.floatArg[0] != static_cast<float>(clientPoints[next].x)
                   || line.floatArg[1] != static_cast<float>(clientPoints[next].y)))
            ++next;
        if (next == clientPoints.size())
            return false;
    }
    return lines.front().floatArg[0] == static_cast<float>(clientPoints.front().x)
        && next == clientPoints.size() - 1;
}

} // namespace

TEST_F(Stroke, AStrokeIsCommittedPreviewedAndDrained)
{
    const std::vector<POINT> points = line(*window, 30, 100, 8, 0, 20);
    drawStroke(points);

    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[0].x, points.front().x);
    EXPECT_EQ(window->notices[0].y, points.front().y);
    EXPECT_EQ(window->notices[1].edge, 1u);
    EXPECT_EQ(window->notices[1].x, points.back().x);
    EXPECT_EQ(window->notices[1].y, points.back().y);

    const std::vector<RecordedCall> calls = recorder.calls();
    // Pen down: ink flow on both instances, a new stroke on the main one.
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0].call, Call::setInkFlow);
    EXPECT_EQ(calls[0].instance, mainEngine);
    EXPECT_EQ(calls[1].call, Call::setInkFlow);
    EXPECT_EQ(calls[1].instance, previewEngine);
    EXPECT_EQ(calls[2].call, Call::clear);
    EXPECT_EQ(calls[2].instance, mainEngine);
    EXPECT_EQ(calls[3].call, Call::lineTo);
    EXPECT_EQ(calls[3].instance, mainEngine);

    // The sampled positions in order (normally every one), then the pen-up
    // point where the pen lifted; the first six with pressures 0.2 (pen
    // down), 0.4 ... 1.2.
    const std::vector<RecordedCall> lines = mainLines();
    std::vector<POINT> client;
    for (std::size_t i = 0; i < points.size(); ++i)
        client.push_back({static_cast<LONG>(30 + 8 * i), 100});
    ASSERT_GE(lines.size(), 12u);
    EXPECT_LE(lines.size(), points.size() + 1);
    EXPECT_TRUE(followsThePath(lines, client));
    const float ramp[] = {0.2f, 0.4f, 0.6f, 0.8f, 1.0f, 1.2f};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(lines[i].floatArg[2], ramp[i]) << i;
    for (std::size_t i = 6; i + 5 < lines.size(); ++i) {
        EXPECT_GE(lines[i].floatArg[2], 0.45f) << i;   // speed-driven
        EXPECT_LE(lines[i].floatArg[2], 0.9f) << i;
    }
    // The drain: five fifths to one fifth of the base, the pen-up point last.
    const std::size_t drained = lines.size() - 5;
    const float base = lines[drained].floatArg[2];
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(lines[drained + i].floatArg[2], base / 5.0f * static_cast<float>(5 - i)) << i;
    EXPECT_TRUE(samePosition(lines.back(), lines[lines.size() - 2]));
    const auto ends = callsOf(calls, Call::end, mainEngine);
    ASSERT_EQ(ends.size(), 1u);

    // Each preview starts at the point just committed and walks the five
    // queued points: the oldest at its own pressure (the base), then at
    // most 4/5, 3/5, 2/5, 1/5 of it.
    const std::vector<PreviewPass> passes = previewPasses(calls, mainEngine, previewEngine);
    ASSERT_EQ(passes.size(), lines.size() - 6);   // all but the last commit and the drain
    for (const PreviewPass& pass : passes) {
        ASSERT_EQ(pass.lines.size(), 6u);
        const RecordedCall& committed = lines[pass.mainLinesBefore - 1];
        EXPECT_TRUE(samePosition(pass.lines[0], committed));
        EXPECT_FLOAT_EQ(pass.lines[0].floatArg[2], committed.floatArg[2]);
        for (std::size_t k = 1; k <= 5; ++k)
            EXPECT_TRUE(samePosition(pass.lines[k], lines[pass.mainLinesBefore - 1 + k])) << k;
        const float passBase = pass.lines[1].floatArg[2];
        const bool allCommittedLater = pass.mainLinesBefore + 5 <= drained;
        if (allCommittedLater) {
            EXPECT_FLOAT_EQ(passBase, lines[pass.mainLinesBefore].floatArg[2]);
        }
        for (std::size_t k = 2; k <= 5; ++k) {
            const float cap = passBase / 5.0f * static_cast<float>(6 - k);
            const float own = lines[pass.mainLinesBefore - 1 + k].floatArg[2];
            if (pass.mainLinesBefore - 1 + k < drained) {
                EXPECT_FLOAT_EQ(pass.lines[k].floatArg[2], std::min(own, cap)) << k;
            } else {
                EXPECT_LE(pass.lines[k].floatArg[2], cap) << k;
            }
        }
    }

    // Both instances draw onto the same offscreen surface, never the window.
    for (const RecordedCall& call : callsOf(calls, Call::lineTo))
        EXPECT_EQ(call.dc, lines[0].dc);
    EXPECT_NE(lines[0].dc, window->dc());
}

TEST_F(Stroke, AClickLeavesTheSameDotAfterAnyStroke)
{
    const POINT spot = window->toScreen(150, 60);
    click(spot);
    ASSERT_EQ(window->notices.size(), 2u);
    for (const StrokeNotice& notice : window->notices) {
        EXPECT_EQ(notice.x, spot.x);
        EXPECT_EQ(notice.y, spot.y);
    }
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[1].edge, 1u);
    std::vector<RecordedCall> lines = mainLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].floatArg[2], 0.08f);   // 2/5 of its own 0.2
    EXPECT_FLOAT_EQ(lines[1].floatArg[2], 0.04f);
    EXPECT_TRUE(callsOf(recorder.calls(), Call::lineTo, previewEngine).empty());

    drawStroke(line(*window, 20, 150, 9, -4, 25));
    recorder.reset();
    click(spot);
    lines = mainLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].floatArg[2], 0.08f);
    EXPECT_FLOAT_EQ(lines[1].floatArg[2], 0.04f);
}

TEST_F(Stroke, TheWindowShowsWhatAWholeCopyWouldShow)
{
    const std::vector<POINT> points = line(*window, 20, 30, 7, 5, 28);
    // Mid-stroke: the pen rests, the preview is on the window.
    pressAndMove({points.begin(), points.begin() + 15});
    pumpFor(60);
    const Image partial = captureClient(window->hwnd());
    InvalidateRect(window->hwnd(), nullptr, FALSE);
    UpdateWindow(window->hwnd());
    const Image whole = captureClient(window->hwnd());
    EXPECT_GT(partial.countNot(0xFFFFFF), 50);
    EXPECT_EQ(maxChannelDifference(partial, whole), 0);

    for (std::size_t i = 15; i < points.size(); ++i) {
        moveCursor(points[i].x, points[i].y);
        pumpFor(15);
    }
    releaseLeft();
    pumpFor(120);
    const Image finished = captureClient(window->hwnd());
    InvalidateRect(window->hwnd(), nullptr, FALSE);
    UpdateWindow(window->hwnd());
    const Image repainted = captureClient(window->hwnd());
    EXPECT_GT(finished.countNot(0xFFFFFF), partial.countNot(0xFFFFFF));
    EXPECT_EQ(maxChannelDifference(finished, repainted), 0);
    // Ink where the pen went, white far from it.
    const POINT last = points.back();
    POINT client = last;
    ScreenToClient(window->hwnd(), &client);
    EXPECT_NE(finished.at(client.x, client.y), 0xFFFFFFu);
    EXPECT_EQ(finished.at(280, 5), 0xFFFFFFu);
}

TEST_F(Stroke, HostPaintModeKeepsTheHostsPaintingUnderTheInk)
{
    ASSERT_EQ(SetCanvasAutoPaint(canvas, 0), 0);
    window->paintsBackground = true;
    window->background = RGB(200, 210, 220);
    InvalidateRect(window->hwnd(), nullptr, TRUE);
    UpdateWindow(window->hwnd());
    const std::vector<POINT> points = line(*window, 40, 60, 9, 3, 18);
    drawStroke(points);

    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[1].edge, 1u);
    EXPECT_EQ(window->notices[1].x, points.back().x);
    // At pen down the window's picture goes to the surface and on to the
    // main engine's, before the first ink.
    const std::vector<RecordedCall> calls = recorder.calls();
    const auto firstLine = std::find_if(calls.begin(), calls.end(), [&](const RecordedCall& c) {
        return c.call == Call::lineTo && c.instance == mainEngine;
    });
    ASSERT_NE(firstLine, calls.end());
    EXPECT_EQ((firstLine - 1)->call, Call::getCanvasDC);
    EXPECT_EQ((firstLine - 1)->instance, mainEngine);

    const Image image = captureClient(window->hwnd());
    const std::uint32_t background = 0xC8D2DC;   // RGB(200, 210, 220) as 0xRRGGBB
    EXPECT_EQ(image.at(5, 5), background);
    EXPECT_EQ(image.at(290, 190), background);
    POINT ink = points[8];
    ScreenToClient(window->hwnd(), &ink);
    EXPECT_NE(image.at(ink.x, ink.y), background);
    EXPECT_LT(image.countNot(background), kWidth * kHeight / 4);

    // The host's own repaint is its business: no ink is painted back.
    InvalidateRect(window->hwnd(), nullptr, TRUE);
    UpdateWindow(window->hwnd());
    EXPECT_EQ(captureClient(window->hwnd()).at(ink.x, ink.y), background);
}

TEST_F(Stroke, AClickInHostPaintMode)
{
    ASSERT_EQ(SetCanvasAutoPaint(canvas, 0), 0);
    const POINT spot = window->toScreen(70, 140);
    click(spot);
    ASSERT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(window->notices[0].edge, 0u);
    EXPECT_EQ(window->notices[1].edge, 1u);
    for (const StrokeNotice& notice : window->notices) {
        EXPECT_EQ(notice.x, spot.x);
        EXPECT_EQ(notice.y, spot.y);
    }
    EXPECT_EQ(mainLines().size(), 2u);
    EXPECT_NE(captureClient(window->hwnd()).at(70, 140), 0xFFFFFFu);
}

TEST_F(Stroke, SwitchingBackToAutoPaintPaintsTheWindowAgain)
{
    ASSERT_EQ(SetCanvasAutoPaint(canvas, 0), 0);
    drawStroke(line(*window, 30, 40, 8, 3, 12));
    ASSERT_EQ(SetCanvasAutoPaint(canvas, 1), 0);
    drawStroke(line(*window, 40, 150, 9, -2, 12));
    const Image drawn = captureClient(window->hwnd());
    EXPECT_NE(drawn.at(38, 43), 0xFFFFFFu);   // the first stroke, drawn in host-paint mode
    EXPECT_NE(drawn.at(40 + 9 * 6, 150 - 2 * 6), 0xFFFFFFu);
    // The library answers WM_PAINT again: the host paints white, and the
    // ink stays.
    InvalidateRect(window->hwnd(), nullptr, TRUE);
    UpdateWindow(window->hwnd());
    EXPECT_EQ(maxChannelDifference(captureClient(window->hwnd()), drawn), 0);
}

TEST_F(Stroke, DrawnRectangleAndItsResets)
{
    ASSERT_EQ(SetPenWidth(canvas, 2.5f), 0);
    std::vector<POINT> points = line(*window, 40, 50, 10, 0, 10);
    const std::vector<POINT> down = line(*window, 130, 60, 0, 10, 8);
    points.insert(points.end(), down.begin(), down.end());
    drawStroke(points);

    int drawn = 0;
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 1);
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom), 0);
    // Points span x 40..130, y 50..130; grown by 2.5, truncated toward zero.
    EXPECT_EQ(left, 37);
    EXPECT_EQ(right, 132);
    EXPECT_EQ(top, 47);
    EXPECT_EQ(bottom, 132);

    recorder.setPathClearResult(1);
    ASSERT_EQ(DrawPathClear(canvas), 0);
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 1);   // the engine failed: nothing forgotten
    recorder.setPathClearResult(0);
    ASSERT_EQ(DrawPathClear(canvas), 0);
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 0);

    drawStroke(line(*window, 60, 40, 6, 2, 8));
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 1);
    window->resizeClient(kWidth + 40, kHeight + 20);
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 0);   // the ink is still there, but the drawing starts anew

    drawStroke(line(*window, 200, 150, 5, 0, 8));
    ASSERT_EQ(GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom), 0);
    EXPECT_EQ(left, 197);   // only the new stroke: 200..235
    EXPECT_EQ(right, 237);
    EXPECT_EQ(top, 147);
    EXPECT_EQ(bottom, 152);
    ASSERT_EQ(CanvasClear(canvas), 0);
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 0);
}

TEST_F(Stroke, GrowingTheWindowKeepsTheInkAndShowsWhiteBeyondIt)
{
    const std::vector<POINT> points = line(*window, 200, 120, 9, 6, 10);
    drawStroke(points);
    const Image before = captureClient(window->hwnd());
    window->resizeClient(kWidth + 120, kHeight + 60);
    pumpFor(50);
    const Image after = captureClient(window->hwnd());
    ASSERT_EQ(after.width, kWidth + 120);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(after.at(x, y), before.at(x, y)) << x << "," << y;
    }
    int notWhite = 0;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            if ((x >= kWidth || y >= kHeight) && after.at(x, y) != 0xFFFFFFu)
                ++notWhite;
        }
    }
    EXPECT_EQ(notWhite, 0);
    // Shrinking and growing again loses nothing drawn: the surface only grows.
    window->resizeClient(kWidth - 100, kHeight - 100);
    window->resizeClient(kWidth, kHeight);
    pumpFor(50);
    const Image again = captureClient(window->hwnd());
    EXPECT_EQ(maxChannelDifference(again, before), 0);
}

TEST_F(Stroke, CaptureAndClippingLastAsLongAsTheStroke)
{
    pressAndMove(line(*window, 50, 50, 6, 4, 10));
    EXPECT_EQ(GetCapture(), window->hwnd());
    RECT clip{};
    GetClipCursor(&clip);
    RECT windowRect{};
    GetWindowRect(window->hwnd(), &windowRect);
    EXPECT_TRUE(EqualRect(&clip, &windowRect)) << clip.left << "," << clip.top << " " << clip.right << ","
                                               << clip.bottom;
    releaseLeft();
    pumpFor(100);
    EXPECT_EQ(GetCapture(), nullptr);
    pumpFor(600);   // the clip is lifted half a second after the last point
    GetClipCursor(&clip);
    EXPECT_EQ(clip.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(clip.right, GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(clip.bottom, GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TEST_F(Stroke, TheCanvasUnderTheMouseIsTheActiveOne)
{
    HostWindow second(450, 100, kWidth, kHeight);
    int other = -1;
    recorder.reset();
    ASSERT_EQ(InitCanvas(second.dc(), second.hwnd(), &other), 0);
    const auto creates = callsOf(recorder.calls(), Call::create);
    ASSERT_EQ(creates.size(), 2u);
    const int otherMain = creates[0].instance;

    recorder.reset();
    drawStroke(line(second, 30, 60, 8, 2, 12));
    EXPECT_EQ(second.notices.size(), 2u);
    EXPECT_TRUE(window->notices.empty());
    EXPECT_GE(callsOf(recorder.calls(), Call::lineTo, otherMain).size(), 8u);
    EXPECT_TRUE(callsOf(recorder.calls(), Call::lineTo, mainEngine).empty());

    recorder.reset();
    pumpFor(600);   // the cursor stays clipped to the other window for half a second
    drawStroke(line(*window, 30, 60, 8, 2, 12));
    EXPECT_EQ(window->notices.size(), 2u);
    EXPECT_EQ(second.notices.size(), 2u);
    EXPECT_GE(mainLines().size(), 8u);
    EXPECT_TRUE(callsOf(recorder.calls(), Call::lineTo, otherMain).empty());
    DestroyCanvas(other);
}

TEST_F(Stroke, TheHostMayDestroyTheCanvasInsideItsNotification)
{
    int result = -1;
    DWORD took = 0;
    window->onStroke = [&](WPARAM edge) {
        if (edge != 0)
            return;
        const DWORD start = GetTickCount();
        result = DestroyCanvas(canvas);
        took = GetTickCount() - start;
    };
    const int threads = threadCount();
    drawStroke(line(*window, 40, 80, 8, 0, 14));
    EXPECT_EQ(result, 0);
    EXPECT_LT(took, 250u) << "the drawing thread had to be ended forcibly";
    ASSERT_EQ(window->notices.size(), 1u);   // the canvas is gone before the stroke ends
    EXPECT_TRUE(window->hasItsOwnProcedure());
    EXPECT_EQ(SetPenWidth(canvas, 3.0f), 1);
    EXPECT_EQ(recorder.liveInstances(), 0);
    EXPECT_EQ(threadCount(), threads - 1);
    RECT clip{};
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

TEST_F(Stroke, TheHostMayShutTheLibraryDownInsideItsNotification)
{
    int result = -1;
    window->onStroke = [&](WPARAM edge) {
        if (edge == 1)
            result = UninitSDK();
    };
    drawStroke(line(*window, 40, 80, 8, 0, 10));
    started = false;
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(window->hasItsOwnProcedure());
    EXPECT_EQ(SetPenWidth(canvas, 3.0f), 1);
    EXPECT_EQ(recorder.liveInstances(), 0);
}

TEST_F(Stroke, DetachingLeavesNoCaptureAndNoClipBehind)
{
    struct Detach {
        const char* name;
        HostCall call;
        bool inEndHandlerOfABusyHost;   // else in the middle of the stroke
    };
    const Detach detaches[] = {
        {"destroyed in the middle of a stroke", HostCall::destroy, false},
        {"shut down in the middle of a stroke", HostCall::shutDown, false},
        {"destroyed in the end handler of a busy host", HostCall::destroy, true},
        {"shut down in the end handler of a busy host", HostCall::shutDown, true},
    };
    for (const Detach& detach : detaches) {
        SCOPED_TRACE(detach.name);
        if (!started)
            start();
        const auto call = [&] {
            const DWORD begin = GetTickCount();
            EXPECT_EQ(detach.call == HostCall::destroy ? DestroyCanvas(canvas) : UninitSDK(), 0);
            EXPECT_LT(GetTickCount() - begin, 250u) << "the drawing thread had to be ended forcibly";
        };
        pressAndMove(line(*window, 30, 40, 9, 6, 12), 12);
        ASSERT_EQ(GetCapture(), window->hwnd());
        if (detach.inEndHandlerOfABusyHost) {
            window->onStroke = [&](WPARAM edge) {
                if (edge == 1)
                    call();
            };
            releaseLeft();
            Sleep(200);   // the release request is posted before the end notification is sent
            pumpFor(100);
            window->onStroke = nullptr;
        } else {
            call();
            expectNoCaptureAndNoClip();
            releaseLeft();
            pumpFor(50);
        }
        expectNoCaptureAndNoClip();
        EXPECT_TRUE(window->hasItsOwnProcedure());
        EXPECT_EQ(recorder.liveInstances(), 0);
        if (detach.call == HostCall::destroy)
            UninitSDK();
        started = false;
        window->notices.clear();
    }
}

TEST_F(Stroke, ShutDownAndDestroyNestInAnyOrder)
{
    struct Nesting {
        const char* name;
        HostCall outer;                 // made while the end notification waits
        std::vector<HostCall> inner;    // made by the handler of a notification
        std::vector<int> innerResults;
    };
    const Nesting nestings[] = {
        {"the final shut-down inside a destroy", HostCall::destroy, {HostCall::shutDown}, {0}},
        {"a destroy inside the final shut-down", HostCall::shutDown, {HostCall::destroy}, {1}},
        {"a destroy inside a destroy", HostCall::destroy, {HostCall::destroy}, {1}},
        {"destroy, then shut down, inside the handler", HostCall::none, {HostCall::destroy, HostCall::shutDown}, {0, 0}},
        {"shut down, then destroy, inside the handler", HostCall::none, {HostCall::shutDown, HostCall::destroy}, {0, 1}},
    };
    int spot = 0;
    for (const Nesting& nesting : nestings) {
        SCOPED_TRACE(nesting.name);
        if (!started)
            start();
        const int canvasId = canvas;
        const auto make = [&](HostCall call) { return call == HostCall::destroy ? DestroyCanvas(canvasId) : UninitSDK(); };
        std::vector<int> innerResults;
        int outerResult = -1;
        const auto makeInner = [&] {
            for (HostCall call : nesting.inner)
                innerResults.push_back(make(call));
        };
        window->onStroke = [&](WPARAM edge) {
            if (nesting.outer == HostCall::none) {
                if (edge == 0)
                    makeInner();
            } else if (edge == 0) {
                // The drawing thread goes on to the end notification, which
                // waits until the outer call lets it through.
                ReplyMessage(0);
                EXPECT_TRUE(waitForSentMessage());
                outerResult = make(nesting.outer);
            } else {
                makeInner();
            }
        };
        const int threads = threadCount();
        click(window->toScreen(60 + 30 * spot++, 90));   // a new spot: the mouse moves onto the canvas
        window->onStroke = nullptr;

        if (nesting.outer != HostCall::none) {
            EXPECT_EQ(outerResult, 0);
        }
        EXPECT_EQ(innerResults, nesting.innerResults);
        EXPECT_TRUE(window->hasItsOwnProcedure());
        EXPECT_EQ(recorder.liveInstances(), 0);
        EXPECT_EQ(threadCount(), threads - 1);
        expectNoCaptureAndNoClip();
        const bool shutDown = nesting.outer == HostCall::shutDown
            || std::count(nesting.inner.begin(), nesting.inner.end(), HostCall::shutDown) > 0;
        if (!shutDown)
            UninitSDK();
        started = false;
        window->notices.clear();
    }
}

TEST_F(Stroke, InkNeverCoversTheHostsOtherWindows)
{
    // Canvas client (120, 60) to (180, 120): a patch of the host's own,
    // in green, a child of the canvas or a sibling above it.
    static const COLORREF kPatch = RGB(0, 160, 0);
    static const HBRUSH patchBrush = CreateSolidBrush(kPatch);
    WNDCLASSEXW patchClass{};
    patchClass.cbSize = sizeof patchClass;
    patchClass.lpfnWndProc = DefWindowProcW;
    patchClass.hInstance = GetModuleHandleW(nullptr);
    patchClass.hbrBackground = patchBrush;
    patchClass.lpszClassName = L"PenwickTestPatch";
    RegisterClassExW(&patchClass);

    DestroyCanvas(canvas);
    window = std::make_unique<HostWindow>(100, 100, 300, 200, true, WS_CLIPCHILDREN);
    ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
    ASSERT_EQ(SetPenWidth(canvas, 20.0f), 0);

    for (const bool child : {true, false}) {
        SCOPED_TRACE(child ? "a child of the canvas" : "a sibling above the canvas");
        RECT place{120, 60, 180, 120};
        HWND parent = window->hwnd();
        if (!child) {
            parent = GetParent(window->hwnd());
            MapWindowPoints(window->hwnd(), parent, reinterpret_cast<POINT*>(&place), 2);
        }
        const HWND patch = CreateWindowExW(0, L"PenwickTestPatch", L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
                                           60, 60, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowPos(patch, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        UpdateWindow(patch);
        pumpFor(30);
        const std::uint32_t green = 0x00A000;   // kPatch as 0xRRGGBB
        ASSERT_EQ(captureClient(patch).countNot(green), 0);

        // Every way the library draws to the window: a stroke 3 pixels above
        // the patch, whose ink reaches 10 pixels on each side of the pen.
        struct Drawing {
            const char* name;
            std::function<void()> draw;
        };
        const Drawing drawings[] = {
            {"a stroke", [&] { drawStroke(line(*window, 40, 57, 10, 0, 23)); }},
            {"a clear", [&] { CanvasClear(canvas); }},
            {"a stroke in host-paint mode",
             [&] {
                 SetCanvasAutoPaint(canvas, 0);
                 drawStroke(line(*window, 40, 57, 10, 0, 23));
                 SetCanvasAutoPaint(canvas, 1);
             }},
            {"the window moved", [&] { SetWindowPos(window->hwnd(), nullptr, 101, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                                       SetWindowPos(window->hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                                       pumpFor(30); }},
        };
        for (const Drawing& drawing : drawings) {
            drawing.draw();
            EXPECT_EQ(captureClient(patch).countNot(green), 0) << drawing.name;
        }
        EXPECT_GT(captureClient(window->hwnd()).countNot(0xFFFFFF), 0);   // the strokes were drawn
        DestroyWindow(patch);
        pumpFor(30);
    }
}

TEST_F(Stroke, ANonNumberInkFlowLeavesThePreviewOn)
{
    ASSERT_EQ(SetCanvasInkFlow(canvas, std::numeric_limits<float>::quiet_NaN()), 0);
    drawStroke(line(*window, 30, 100, 8, 0, 20));
    EXPECT_FALSE(previewPasses(recorder.calls(), mainEngine, previewEngine).empty());
    for (const RecordedCall& call : callsOf(recorder.calls(), Call::setInkFlow))
        EXPECT_EQ(call.floatArg[0], 1.0f);
}

TEST_F(Stroke, UnloadingWithoutShutDownWhileANotificationWaits)
{
    LoadedPenwick copy(L"penwick-unload-stroke.dll");
    ASSERT_TRUE(copy.load());
    HostWindow other(450, 100, 300, 200);
    const int threads = threadCount();
    copy.api().initSdk();
    int otherCanvas = -1;
    ASSERT_EQ(copy.api().initCanvas(other.dc(), other.hwnd(), &otherCanvas), 0);
    ASSERT_TRUE(clickWhileNotPumping(other, 100, 80));
    const DWORD start = GetTickCount();
    copy.unload();
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(threadCount(), threads);
    EXPECT_TRUE(other.hasItsOwnProcedure());
    pumpFor(50);
    EXPECT_EQ(SendMessageW(other.hwnd(), WM_APP + 7, 0, 0), 77);
    expectNoCaptureAndNoClip();
    EXPECT_EQ(recorder.liveInstances(), 2);   // the fixture's canvas alone
}
