// The exported functions without input: result codes, engine calls and
// their order, pointers, ranges, colours, the window procedure.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace pwtest;
using recorder::Call;
using recorder::RecordedCall;

namespace {

class Api : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.available()) << "the recording libLPLines.dll is not next to the test";
        recorder.reset();
        InitSDK();   // 1 under Wine: no tablet, mouse only
        window = std::make_unique<HostWindow>(40, 40, 300, 200, false);
        ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
    }
    void TearDown() override
    {
        DestroyCanvas(canvas);
        UninitSDK();
        window.reset();
    }
    std::vector<RecordedCall> callsSince(std::size_t first) const
    {
        std::vector<RecordedCall> all = recorder.calls();
        return std::vector<RecordedCall>(all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())),
                                         all.end());
    }
    std::size_t mark() const { return recorder.calls().size(); }

    Recorder recorder;
    std::unique_ptr<HostWindow> window;
    int canvas = -1;
};

struct Expected {
    Call call;
    int instance;
};

void expectCalls(const std::vector<RecordedCall>& calls, const std::vector<Expected>& expected)
{
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].call, expected[i].call) << "call " << i;
        EXPECT_EQ(calls[i].instance, expected[i].instance) << "call " << i;
    }
}

// Every canvas function, called with valid output pointers.
std::vector<std::pair<std::string, std::function<int(int)>>> canvasFunctions()
{
    static float f;
    static int i;
    static COLORREF c;
    static HDC dc;
    static int l, r, t, b;
    static unsigned char point[64];
    return {
        {"DestroyCanvas", [](int id) { return DestroyCanvas(id); }},
        {"SetPenWidth", [](int id) { return SetPenWidth(id, 3.0f); }},
        {"GetPenWidth", [](int id) { return GetPenWidth(id, &f); }},
        {"SetPenColor", [](int id) { return SetPenColor(id, RGB(1, 2, 3)); }},
        {"GetPenColor", [](int id) { return GetPenColor(id, &c); }},
        {"CanvasClear", [](int id) { return CanvasClear(id); }},
        {"GetCanvasDrawedRect", [](int id) { return GetCanvasDrawedRect(id, &l, &r, &t, &b); }},
        {"UpdateCanvas", [](int id) { return UpdateCanvas(id); }},
        {"GetCanvasDC", [](int id) { return GetCanvasDC(id, &dc); }},
        {"SetCanvasInkFlow", [](int id) { return SetCanvasInkFlow(id, 0.5f); }},
        {"GetCanvasInkFlow", [](int id) { return GetCanvasInkFlow(id, &f); }},
        {"SetDrawQuality", [](int id) { return SetDrawQuality(id, 1); }},
        {"GetDrawQuality", [](int id) { return GetDrawQuality(id, &i); }},
        {"GetDrawPathCount", [](int id) { return GetDrawPathCount(id, &i); }},
        {"GetDrawPathPoint", [](int id) { return GetDrawPathPoint(id, 0, point); }},
        {"DrawPathClear", [](int id) { return DrawPathClear(id); }},
        {"SetCanvasAutoPaint", [](int id) { return SetCanvasAutoPaint(id, 1); }},
        {"IsCanvasDrawed", [](int id) { return IsCanvasDrawed(id, &i); }},
    };
}

} // namespace

TEST(Exports, TwentyOneFunctionsByNameWithTheirOrdinals)
{
    HMODULE library = GetModuleHandleW(L"penwick.dll");
    ASSERT_NE(library, nullptr);
    const char* const names[] = {"InitSDK",          "UninitSDK",        "InitCanvas",          "DestroyCanvas",
                                 "SetPenWidth",      "GetPenWidth",      "SetPenColor",         "GetPenColor",
                                 "CanvasClear",      "GetCanvasDrawedRect", "UpdateCanvas",     "GetCanvasDC",
                                 "SetCanvasInkFlow", "GetCanvasInkFlow", "SetDrawQuality",      "GetDrawQuality",
                                 "GetDrawPathCount", "GetDrawPathPoint", "DrawPathClear",       "SetCanvasAutoPaint",
                                 "IsCanvasDrawed"};
    for (int ordinal = 1; ordinal <= 21; ++ordinal) {
        const char* name = names[ordinal - 1];
        FARPROC byName = GetProcAddress(library, name);
        EXPECT_NE(byName, nullptr) << name;
        EXPECT_EQ(byName, GetProcAddress(library, MAKEINTRESOURCEA(ordinal))) << name << " @" << ordinal;
    }
    EXPECT_EQ(GetProcAddress(library, "InitSDK@0"), nullptr);
    EXPECT_EQ(GetProcAddress(library, "_InitCanvas@12"), nullptr);

    const auto* base = reinterpret_cast<const unsigned char*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    EXPECT_EQ(exports->Base, 1u);
    EXPECT_EQ(exports->NumberOfFunctions, 21u);
    EXPECT_EQ(exports->NumberOfNames, 21u);
}

extern "C" int c_host_round_trip(HDC dc, HWND window);

TEST(Exports, AHostWrittenInCLinksAndRuns)
{
    HostWindow window(40, 40, 200, 150, false);
    EXPECT_EQ(c_host_round_trip(window.dc(), window.hwnd()), 3 + 10 * 3);
}

TEST_F(Api, AttachMakesBothEngineInstancesInOrder)
{
    DestroyCanvas(canvas);
    recorder.reset();
    ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
    const std::vector<RecordedCall> calls = recorder.calls();
    // The ids of the recording engine count instances from 1 in this process.
    ASSERT_GE(calls.size(), 8u);
    const int main = calls[0].instance;
    const int preview = calls[3].instance;
    EXPECT_NE(main, preview);
    expectCalls(calls, {{Call::create, main},
                        {Call::setPenWidth, main},
                        {Call::setColor, main},
                        {Call::create, preview},
                        {Call::setPenWidth, preview},
                        {Call::setColor, preview},
                        {Call::setCanvasSize, main},
                        {Call::setCanvasSize, preview}});
    EXPECT_EQ(calls[0].intArg[0], 0);   // LPLinesCreate's second argument
    EXPECT_EQ(calls[1].floatArg[0], 6.0f);
    EXPECT_EQ(calls[2].color, 0xFF000000u);
    EXPECT_EQ(calls[6].intArg[0], 300);
    EXPECT_EQ(calls[6].intArg[1], 200);
    EXPECT_EQ(recorder.liveInstances(), 2);
}

TEST_F(Api, DetachDestroysBothInstances)
{
    const std::size_t first = mark();
    ASSERT_EQ(DestroyCanvas(canvas), 0);
    const std::vector<RecordedCall> calls = callsSince(first);
    EXPECT_EQ(callsOf(calls, Call::destroy).size(), 2u);
    EXPECT_EQ(recorder.liveInstances(), 0);
}

TEST_F(Api, MissingAndDestroyedIdsGiveOne)
{
    int later = -1;
    HostWindow other(360, 40, 100, 100, false);
    ASSERT_EQ(InitCanvas(other.dc(), other.hwnd(), &later), 0);
    EXPECT_GT(later, canvas);
    ASSERT_EQ(DestroyCanvas(later), 0);
    for (const auto& [name, call] : canvasFunctions()) {
        EXPECT_EQ(call(-1), 1) << name << "(-1)";
        EXPECT_EQ(call(0), 1) << name << "(0)";
        EXPECT_EQ(call(later), 1) << name << " on a destroyed canvas";
        EXPECT_EQ(call(std::numeric_limits<int>::max()), 1) << name;
    }
    // The live canvas answers every function.
    for (const auto& [name, call] : canvasFunctions()) {
        if (name != "DestroyCanvas") {
            EXPECT_EQ(call(canvas), 0) << name;
        }
    }
}

TEST_F(Api, NullOutputPointersGiveOne)
{
    int value = 0;
    EXPECT_EQ(GetPenWidth(canvas, nullptr), 1);
    EXPECT_EQ(GetPenColor(canvas, nullptr), 1);
    EXPECT_EQ(GetCanvasDC(canvas, nullptr), 1);
    EXPECT_EQ(GetCanvasInkFlow(canvas, nullptr), 1);
    EXPECT_EQ(GetDrawQuality(canvas, nullptr), 1);
    EXPECT_EQ(GetDrawPathCount(canvas, nullptr), 1);
    EXPECT_EQ(GetDrawPathPoint(canvas, 0, nullptr), 1);
    EXPECT_EQ(IsCanvasDrawed(canvas, nullptr), 1);
    EXPECT_EQ(GetCanvasDrawedRect(canvas, nullptr, &value, &value, &value), 1);
    EXPECT_EQ(GetCanvasDrawedRect(canvas, &value, nullptr, &value, &value), 1);
    EXPECT_EQ(GetCanvasDrawedRect(canvas, &value, &value, nullptr, &value), 1);
    EXPECT_EQ(GetCanvasDrawedRect(canvas, &value, &value, &value, nullptr), 1);
    EXPECT_EQ(InitCanvas(window->dc(), window->hwnd(), nullptr), 1);
}

TEST_F(Api, PenWidthIsKeptWithinOneToFifty)
{
    const std::size_t first = mark();
    EXPECT_EQ(SetPenWidth(canvas, 0.5f), 0);
    EXPECT_EQ(SetPenWidth(canvas, 51.0f), 0);
    EXPECT_EQ(SetPenWidth(canvas, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(SetPenWidth(canvas, -3.0f), 0);
    EXPECT_TRUE(callsOf(callsSince(first), Call::setPenWidth).empty());
    float width = 0.0f;
    ASSERT_EQ(GetPenWidth(canvas, &width), 0);
    EXPECT_EQ(width, 6.0f);

    for (float accepted : {1.0f, 50.0f, 2.5f}) {
        const std::size_t before = mark();
        EXPECT_EQ(SetPenWidth(canvas, accepted), 0);
        const std::vector<RecordedCall> sets = callsOf(callsSince(before), Call::setPenWidth);
        ASSERT_EQ(sets.size(), 2u) << accepted;
        EXPECT_LT(sets[0].instance, sets[1].instance);   // main engine first
        EXPECT_EQ(sets[0].floatArg[0], accepted);
    }
    ASSERT_EQ(GetPenWidth(canvas, &width), 0);
    EXPECT_EQ(width, 2.0f);   // 2.5 truncated
}

TEST_F(Api, ColoursConvertBetweenColorrefAndTheEngine)
{
    const std::size_t first = mark();
    ASSERT_EQ(SetPenColor(canvas, 0x000000FF), 0);   // red
    const std::vector<RecordedCall> sets = callsOf(callsSince(first), Call::setColor);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].color, 0xFFFF0000u);
    EXPECT_EQ(sets[1].color, 0xFFFF0000u);
    EXPECT_LT(sets[0].instance, sets[1].instance);
    COLORREF color = 0;
    ASSERT_EQ(GetPenColor(canvas, &color), 0);
    EXPECT_EQ(color, 0x000000FFu);

    // The engine's alpha is kept through a later SetPenColor.
    recorder.setReportedAlpha(0x80);
    ASSERT_EQ(GetPenColor(canvas, &color), 0);
    EXPECT_EQ(color, 0x000000FFu);
    const std::size_t second = mark();
    ASSERT_EQ(SetPenColor(canvas, RGB(0x11, 0x22, 0x33)), 0);
    const std::vector<RecordedCall> kept = callsOf(callsSince(second), Call::setColor);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].color, 0x80112233u);
}

TEST_F(Api, InkFlowAndQualityPassThroughUnchecked)
{
    const std::size_t first = mark();
    ASSERT_EQ(SetCanvasInkFlow(canvas, 0.35f), 0);
    ASSERT_EQ(SetDrawQuality(canvas, -7), 0);
    const std::vector<RecordedCall> calls = callsSince(first);
    const auto flows = callsOf(calls, Call::setInkFlow);
    const auto qualities = callsOf(calls, Call::setQuality);
    ASSERT_EQ(flows.size(), 2u);
    ASSERT_EQ(qualities.size(), 2u);
    EXPECT_EQ(flows[0].floatArg[0], 0.35f);
    EXPECT_EQ(qualities[1].intArg[0], -7);
    float flow = 0.0f;
    int quality = 0;
    ASSERT_EQ(GetCanvasInkFlow(canvas, &flow), 0);
    ASSERT_EQ(GetDrawQuality(canvas, &quality), 0);
    EXPECT_EQ(flow, 0.35f);
    EXPECT_EQ(quality, -7);
    EXPECT_EQ(SetCanvasInkFlow(canvas, 7.5f), 0);   // no range check here

    // Not a number is no flow at all: ignored, as the engine would.
    const std::size_t second = mark();
    EXPECT_EQ(SetCanvasInkFlow(canvas, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_TRUE(callsOf(callsSince(second), Call::setInkFlow).empty());
    ASSERT_EQ(GetCanvasInkFlow(canvas, &flow), 0);
    EXPECT_EQ(flow, 7.5f);
}

TEST_F(Api, DrawnRectBeforeAnyStroke)
{
    int left = 1, right = 1, top = 1, bottom = 1;
    ASSERT_EQ(GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom), 0);
    EXPECT_EQ(left, -6);
    EXPECT_EQ(right, 6);
    EXPECT_EQ(top, -6);
    EXPECT_EQ(bottom, 6);
    ASSERT_EQ(SetPenWidth(canvas, 2.5f), 0);
    ASSERT_EQ(GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom), 0);
    EXPECT_EQ(left, -2);
    EXPECT_EQ(right, 2);
    int drawn = 7;
    ASSERT_EQ(IsCanvasDrawed(canvas, &drawn), 0);
    EXPECT_EQ(drawn, 0);
}

TEST_F(Api, PathFunctionsAskTheMainEngine)
{
    const std::vector<RecordedCall> attach = recorder.calls();
    const int main = callsOf(attach, Call::create).front().instance;
    const std::size_t first = mark();
    int count = -1;
    unsigned char point[64] = {};
    ASSERT_EQ(GetDrawPathCount(canvas, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetDrawPathPoint(canvas, 3, point), 0);   // the engine's answer is not passed on
    ASSERT_EQ(DrawPathClear(canvas), 0);
    const std::vector<RecordedCall> calls = callsSince(first);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].call, Call::pathCount);
    EXPECT_EQ(calls[0].instance, main);
    EXPECT_EQ(calls[1].call, Call::pathPoint);
    EXPECT_EQ(calls[1].intArg[0], 3);
    EXPECT_EQ(calls[2].call, Call::pathClear);   // preview first, then main
    EXPECT_NE(calls[2].instance, main);
    EXPECT_EQ(calls[3].call, Call::pathClear);
    EXPECT_EQ(calls[3].instance, main);
}

TEST_F(Api, CanvasDCIsTheMainEnginesSurface)
{
    HDC dc = nullptr;
    ASSERT_EQ(GetCanvasDC(canvas, &dc), 0);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    const auto calls = callsOf(recorder.calls(), Call::getCanvasDC);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().instance, callsOf(recorder.calls(), Call::create).front().instance);
}

TEST_F(Api, ClearAsksBothEngines)
{
    const std::size_t first = mark();
    ASSERT_EQ(CanvasClear(canvas), 0);
    const std::vector<RecordedCall> calls = callsOf(callsSince(first), Call::canvasClear);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_LT(calls[0].instance, calls[1].instance);
}

TEST_F(Api, WithoutEngineInstancesTheCanvasStillAnswers)
{
    // An engine may fail with nothing made, or give up after making an
    // instance, which is then destroyed rather than leaked.
    for (const bool failedCreateMakes : {false, true}) {
        SCOPED_TRACE(failedCreateMakes ? "the failed create made an instance" : "nothing made");
        DestroyCanvas(canvas);
        recorder.failCreates(2);
        recorder.setFailedCreateMakes(failedCreateMakes);
        ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
        EXPECT_EQ(recorder.liveInstances(), 0);
        float width = -1.0f;
        COLORREF color = 12345;
        HDC dc = reinterpret_cast<HDC>(0x1234);
        int left = 99, right = 99, top = 99, bottom = 99;
        EXPECT_EQ(GetPenWidth(canvas, &width), 0);
        EXPECT_EQ(width, -1.0f);   // untouched
        EXPECT_EQ(GetPenColor(canvas, &color), 0);
        EXPECT_EQ(color, 12345u);
        EXPECT_EQ(GetCanvasDC(canvas, &dc), 0);
        EXPECT_EQ(dc, reinterpret_cast<HDC>(0x1234));
        EXPECT_EQ(GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom), 0);
        EXPECT_EQ(left, 99);
        for (const auto& [name, call] : canvasFunctions()) {
            if (name != "DestroyCanvas") {
                EXPECT_EQ(call(canvas), 0) << name;
            }
        }
        int drawn = 5;
        EXPECT_EQ(IsCanvasDrawed(canvas, &drawn), 0);   // needs no engine
        EXPECT_EQ(drawn, 0);
        EXPECT_EQ(SetCanvasAutoPaint(canvas, 0), 0);
        recorder.reset();
    }
}

TEST_F(Api, ASecondCanvasForTheSameWindowIsRefused)
{
    int second = 5;
    EXPECT_EQ(InitCanvas(window->dc(), window->hwnd(), &second), 1);
    EXPECT_EQ(second, -1);
    EXPECT_EQ(SetPenWidth(canvas, 4.0f), 0);
    ASSERT_EQ(DestroyCanvas(canvas), 0);
    ASSERT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
}

TEST_F(Api, AMemoryDCAttachesToTheFallbackWindow)
{
    HostWindow other(360, 40, 120, 90, false);
    HDC memory = CreateCompatibleDC(nullptr);
    int id = -1;
    ASSERT_EQ(InitCanvas(memory, other.hwnd(), &id), 0);
    EXPECT_FALSE(other.hasItsOwnProcedure());
    EXPECT_EQ(DestroyCanvas(id), 0);
    DeleteDC(memory);

    // A window's DC wins over the fallback window.
    HostWindow third(500, 40, 120, 90, false);
    HostWindow fourth(640, 40, 120, 90, false);
    ASSERT_EQ(InitCanvas(third.dc(), fourth.hwnd(), &id), 0);
    EXPECT_FALSE(third.hasItsOwnProcedure());
    EXPECT_TRUE(fourth.hasItsOwnProcedure());
    EXPECT_EQ(DestroyCanvas(id), 0);
}

TEST_F(Api, NoWindowNoCanvasAndTheIdIsUsedUp)
{
    HDC memory = CreateCompatibleDC(nullptr);
    const HWND desktop = GetDesktopWindow();   // another process's window
    const LONG_PTR desktopProcedure = GetWindowLongPtrW(desktop, GWLP_WNDPROC);
    struct Refused {
        const char* what;
        HDC dc;
        HWND fallbackWindow;
    };
    const Refused refused[] = {
        {"a memory DC and no window", memory, nullptr},
        {"a memory DC and no such window", memory, reinterpret_cast<HWND>(0x7654)},
        {"another process's window", nullptr, desktop},
    };
    const int threads = threadCount();
    for (const Refused& attempt : refused) {
        int failed = 5;
        EXPECT_EQ(InitCanvas(attempt.dc, attempt.fallbackWindow, &failed), 1) << attempt.what;
        EXPECT_EQ(failed, -1) << attempt.what;
    }
    DeleteDC(memory);
    // Nothing was started for them.
    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(recorder.liveInstances(), 2);   // the fixture's canvas
    EXPECT_EQ(GetWindowLongPtrW(desktop, GWLP_WNDPROC), desktopProcedure);

    HostWindow other(360, 40, 100, 100, false);
    int next = -1;
    ASSERT_EQ(InitCanvas(other.dc(), other.hwnd(), &next), 0);
    EXPECT_EQ(next, canvas + 4);
    DestroyCanvas(next);
}

TEST_F(Api, TheHostsWindowProcedureComesBack)
{
    HostWindow other(360, 40, 100, 100, false);
    ASSERT_TRUE(other.hasItsOwnProcedure());
    int id = -1;
    ASSERT_EQ(InitCanvas(other.dc(), other.hwnd(), &id), 0);
    EXPECT_FALSE(other.hasItsOwnProcedure());
    // The host still sees its messages, with their results.
    EXPECT_EQ(SendMessageW(other.hwnd(), WM_APP + 7, 0, 0), 77);
    EXPECT_EQ(other.privateMessages, 1);
    SendMessageW(other.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(other.paintMessages, 1);

    ASSERT_EQ(DestroyCanvas(id), 0);
    EXPECT_TRUE(other.hasItsOwnProcedure());
    EXPECT_EQ(SendMessageW(other.hwnd(), WM_APP + 7, 0, 0), 77);
    EXPECT_EQ(other.privateMessages, 2);
}

TEST_F(Api, ResizingFollowsTheClientSizeAndTheSurfaceOnlyGrows)
{
    const std::size_t first = mark();
    window->resizeClient(400, 300);
    window->resizeClient(300, 200);
    window->resizeClient(0, 0);   // like a minimised window: nothing changes
    const std::vector<RecordedCall> sizes = callsOf(callsSince(first), Call::setCanvasSize);
    ASSERT_EQ(sizes.size(), 4u);
    EXPECT_EQ(sizes[0].intArg[0], 400);
    EXPECT_EQ(sizes[0].intArg[1], 300);
    EXPECT_LT(sizes[0].instance, sizes[1].instance);
    EXPECT_EQ(sizes[2].intArg[0], 300);
    EXPECT_EQ(sizes[2].intArg[1], 200);
    window->resizeClient(300, 200);
}

TEST_F(Api, AutoPaintCanBeSwitchedBothWays)
{
    EXPECT_EQ(SetCanvasAutoPaint(canvas, 0), 0);
    EXPECT_EQ(UpdateCanvas(canvas), 0);
    EXPECT_EQ(CanvasClear(canvas), 0);
    EXPECT_EQ(SetCanvasAutoPaint(canvas, 1), 0);
    EXPECT_EQ(SetCanvasAutoPaint(canvas, 7), 0);
    SendMessageW(window->hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(window->paintMessages, 1);   // the host still gets WM_PAINT
}

TEST_F(Api, CanvasOfADestroyedWindowIsStillDestroyedCleanly)
{
    auto doomed = std::make_unique<HostWindow>(360, 40, 100, 100, false);
    int id = -1;
    ASSERT_EQ(InitCanvas(doomed->dc(), doomed->hwnd(), &id), 0);
    doomed.reset();
    pumpFor(50);   // the drawing thread ends by itself
    EXPECT_EQ(SetPenWidth(id, 3.0f), 0);
    EXPECT_EQ(DestroyCanvas(id), 0);
    EXPECT_EQ(DestroyCanvas(id), 1);
}
