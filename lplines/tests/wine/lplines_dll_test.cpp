// libLPLines.dll through its exports, bound by name as a host binds them.
#include "dll_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// One engine instance for a test.
class Engine {
public:
    Engine()
    {
        EXPECT_EQ(api().LPLinesCreate(&handle_, 0), LPLINES_OK);
        EXPECT_NE(handle_, nullptr);
    }
    ~Engine() { api().LPLinesDestroy(handle_); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    LPLINES_HANDLE get() const { return handle_; }

private:
    LPLINES_HANDLE handle_ = nullptr;
};

// A DIB in which every pixel differs from its neighbours.
class PatternDc : public DibDc {
public:
    PatternDc(int width, int height) : DibDc(width, height)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                set(x, y, pattern(x, y));
    }

    static std::uint32_t pattern(int x, int y)
    {
        return 0xFF000000u | static_cast<std::uint32_t>(((x * 7) & 0x3F) + 0xC0) << 16
             | static_cast<std::uint32_t>(((y * 5) & 0x3F) + 0xC0) << 8 | 0xE0u;
    }
};

TEST(LPLinesDll, ExportsAllTwentyFourEntryPointsByPlainName)
{
    ASSERT_NE(api().module, nullptr) << GetLastError();
    EXPECT_EQ(api().bound, 24);
}

TEST(LPLinesDll, RefusesNullUnknownAndDestroyedHandles)
{
    ASSERT_EQ(api().bound, 24);
    EXPECT_EQ(api().LPLinesCreate(nullptr, 0), LPLINES_E_ARGUMENT);
    LPLINES_HANDLE refused = reinterpret_cast<LPLINES_HANDLE>(1);
    EXPECT_EQ(api().LPLinesCreate(&refused, 7), LPLINES_E_ARGUMENT);
    EXPECT_EQ(refused, nullptr);

    LPLINES_HANDLE h = nullptr;
    ASSERT_EQ(api().LPLinesCreate(&h, 0), LPLINES_OK);
    ASSERT_EQ(api().LPLinesDestroy(h), LPLINES_OK);
    const LPLINES_HANDLE bad[] = {nullptr, h, reinterpret_cast<LPLINES_HANDLE>(0x12345678),
                                  reinterpret_cast<LPLINES_HANDLE>(-1)};
    for (LPLINES_HANDLE b : bad) {
        float f = 0;
        int i = 0;
        uint32_t c = 0;
        HDC dc = nullptr;
        LPLinesPoint p{};
        EXPECT_EQ(api().LPLinesDestroy(b), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetColor(b, 0), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetColor(b, &c), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetPenWidth(b, 3), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetPenWidth(b, &f), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetInkFlow(b, 1), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetInkFlow(b, &f), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetQuality(b, 1), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetQuality(b, &i), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetCanvasSize(b, 10, 10), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetCanvasSize(b, &i, &i), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesCanvasClear(b), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetCanvasDC(b, &dc), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesClear(b), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesLineTo(b, nullptr, 1, 1, 1), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesEnd(b, nullptr), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesPathClear(b), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesPathCount(b, &i), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesPathPoint(b, 0, &p), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetPressureDoubled(b, 1), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetPressureDoubled(b, &i), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesSetTipHardness(b, 1), LPLINES_E_HANDLE);
        EXPECT_EQ(api().LPLinesGetTipHardness(b, &f), LPLINES_E_HANDLE);
    }
}

TEST(LPLinesDll, SettingsHaveDefaultsAndReadBackAsSet)
{
    ASSERT_EQ(api().bound, 24);
    Engine e;
    uint32_t color = 0;
    float f = 0;
    int i = -1;
    EXPECT_EQ(api().LPLinesGetColor(e.get(), &color), LPLINES_OK);
    EXPECT_EQ(color, 0xFF000000u);
    EXPECT_EQ(api().LPLinesGetInkFlow(e.get(), &f), LPLINES_OK);
    EXPECT_FLOAT_EQ(f, 1.0f);
    EXPECT_EQ(api().LPLinesGetQuality(e.get(), &i), LPLINES_OK);
    EXPECT_EQ(i, LPLINES_QUALITY_HIGH);

    EXPECT_EQ(api().LPLinesSetColor(e.get(), 0x80FF0000u), LPLINES_OK);
    EXPECT_EQ(api().LPLinesGetColor(e.get(), &color), LPLINES_OK);
    EXPECT_EQ(color, 0x80FF0000u);

    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), 2.5f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), 0.5f), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), 51.0f), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), std::numeric_limits<float>::quiet_NaN()), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesGetPenWidth(e.get(), &f), LPLINES_OK);
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), 1.0f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesSetPenWidth(e.get(), 50.0f), LPLINES_OK);

    EXPECT_EQ(api().LPLinesSetInkFlow(e.get(), 0.3f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesSetInkFlow(e.get(), -1.0f), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesGetInkFlow(e.get(), &f), LPLINES_OK);
    EXPECT_FLOAT_EQ(f, 0.3f);

    for (const int q : {-5, 0, 1, 2, 1000}) {
        EXPECT_EQ(api().LPLinesSetQuality(e.get(), q), LPLINES_OK);
        EXPECT_EQ(api().LPLinesGetQuality(e.get(), &i), LPLINES_OK);
        EXPECT_EQ(i, q);
    }
    EXPECT_EQ(api().LPLinesSetPressureDoubled(e.get(), 5), LPLINES_OK);
    EXPECT_EQ(api().LPLinesGetPressureDoubled(e.get(), &i), LPLINES_OK);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(api().LPLinesSetTipHardness(e.get(), 0.25f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesSetTipHardness(e.get(), 1.5f), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesGetTipHardness(e.get(), &f), LPLINES_OK);
    EXPECT_FLOAT_EQ(f, 0.25f);

    EXPECT_EQ(api().LPLinesGetColor(e.get(), nullptr), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesGetPenWidth(e.get(), nullptr), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesGetCanvasSize(e.get(), &i, nullptr), LPLINES_E_ARGUMENT);
}

TEST(LPLinesDll, CanvasIsAWhiteDibOfTheGivenSizeThatKeepsItsInkWhenResized)
{
    ASSERT_EQ(api().bound, 24);
    Engine e;
    int w = -1, h = -1;
    EXPECT_EQ(api().LPLinesGetCanvasSize(e.get(), &w, &h), LPLINES_OK);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(api().LPLinesSetCanvasSize(e.get(), 0, 10), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesSetCanvasSize(e.get(), 10, -1), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesSetCanvasSize(e.get(), 100000, 10), LPLINES_E_ARGUMENT);
    ASSERT_EQ(api().LPLinesSetCanvasSize(e.get(), 300, 200), LPLINES_OK);
    EXPECT_EQ(api().LPLinesGetCanvasSize(e.get(), &w, &h), LPLINES_OK);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);

    HDC dc = nullptr;
    ASSERT_EQ(api().LPLinesGetCanvasDC(e.get(), &dc), LPLINES_OK);
    ASSERT_NE(dc, nullptr);
    BITMAP bm{};
    ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bm), &bm), 0);
    EXPECT_EQ(bm.bmWidth, 300);
    EXPECT_EQ(bm.bmHeight, 200);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 299, 199), RGB(255, 255, 255));

    api().LPLinesClear(e.get());
    api().LPLinesLineTo(e.get(), nullptr, 20, 20, 1.0f);
    api().LPLinesLineTo(e.get(), nullptr, 280, 180, 1.0f);
    api().LPLinesEnd(e.get(), nullptr);
    EXPECT_EQ(GetPixel(dc, 150, 100), RGB(0, 0, 0));

    // Growing keeps the ink where it was and the same DC.
    ASSERT_EQ(api().LPLinesSetCanvasSize(e.get(), 400, 300), LPLINES_OK);
    HDC again = nullptr;
    api().LPLinesGetCanvasDC(e.get(), &again);
    EXPECT_EQ(again, dc);
    EXPECT_EQ(GetPixel(dc, 150, 100), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 399, 299), RGB(255, 255, 255));

    EXPECT_EQ(api().LPLinesCanvasClear(e.get()), LPLINES_OK);
    EXPECT_EQ(GetPixel(dc, 150, 100), RGB(255, 255, 255));

    // Whatever a caller copies into the DC is what the next stroke inks over.
    PatBlt(dc, 0, 0, 400, 300, BLACKNESS);
    api().LPLinesLineTo(e.get(), nullptr, 10, 10, 1.0f);
    api().LPLinesEnd(e.get(), nullptr);
    EXPECT_EQ(GetPixel(dc, 200, 200), RGB(0, 0, 0));
}

TEST(LPLinesDll, DrawsOntoTheTargetOnlyWhereTheNewInkGoes)
{
    ASSERT_EQ(api().bound, 24);
    Engine e;
    ASSERT_EQ(api().LPLinesSetCanvasSize(e.get(), 300, 200), LPLINES_OK);
    api().LPLinesSetPenWidth(e.get(), 6.0f);
    api().LPLinesSetColor(e.get(), 0xFF0000FFu);
    PatternDc target(300, 200);
    HDC own = nullptr;
    api().LPLinesGetCanvasDC(e.get(), &own);

    EXPECT_EQ(api().LPLinesClear(e.get()), LPLINES_OK);
    EXPECT_EQ(api().LPLinesLineTo(e.get(), target.dc(), 50, 100, 1.0f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesLineTo(e.get(), target.dc(), 100, 90, 1.0f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesLineTo(e.get(), target.dc(), 150, 100, 1.0f), LPLINES_OK);
    EXPECT_EQ(api().LPLinesEnd(e.get(), target.dc()), LPLINES_OK);

    EXPECT_EQ(target.at(100, 90), 0xFF0000FFu);
    EXPECT_EQ(GetPixel(own, 100, 90), RGB(0, 0, 255));
    // Beyond the stroke's reach, not a single pixel of the target changed.
    int changedOutside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool nearStroke = x >= 44 && x <= 156 && y >= 80 && y <= 108;
            if (!nearStroke)
                changedOutside += target.at(x, y) != PatternDc::pattern(x, y);
        }
    EXPECT_EQ(changedOutside, 0);
    // An anti-aliased edge mixes with the target's own pixel there.
    const std::uint32_t under = PatternDc::pattern(100, 87);
    const std::uint32_t edge = target.at(100, 87);
    EXPECT_NE(edge, under);
    EXPECT_NE(edge, 0xFF0000FFu);
}

int largestDifference(const PatternDc& a, const PatternDc& b, int width, int height)
{
    int worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int shift = 0; shift < 24; shift += 8) {
                const int pa = static_cast<int>((a.at(x, y) >> shift) & 0xFF);
                const int pb = static_cast<int>((b.at(x, y) >> shift) & 0xFF);
                worst = std::max(worst, std::abs(pa - pb));
            }
    return worst;
}

// The canvas library's preview: after each committed point a second
// instance copies the main surface, draws a tapering tail onto the same
// offscreen DC and its own surface, and is copied back.
TEST(LPLinesDll, PreviewOnTheSameDcLeavesExactlyTheStrokeDrawnAlone)
{
    ASSERT_EQ(api().bound, 24);
    constexpr int kW = 300;
    constexpr int kH = 200;
    Engine main, preview, alone;
    for (const Engine* e : {&main, &preview, &alone}) {
        ASSERT_EQ(api().LPLinesSetCanvasSize(e->get(), kW, kH), LPLINES_OK);
        api().LPLinesSetPenWidth(e->get(), 8.0f);
        api().LPLinesSetInkFlow(e->get(), 0.5f);
    }
    HDC mainDc = nullptr, previewDc = nullptr;
    api().LPLinesGetCanvasDC(main.get(), &mainDc);
    api().LPLinesGetCanvasDC(preview.get(), &previewDc);

    std::vector<POINT> points;
    for (int i = 0; i < 36; ++i)
        points.push_back({20 + i * 7, static_cast<LONG>(std::lround(100 + 50 * std::sin(i / 4.0)))});
    PatternDc shown(kW, kH);
    api().LPLinesClear(main.get());
    for (std::size_t k = 0; k < points.size(); ++k) {
        api().LPLinesLineTo(main.get(), shown.dc(), static_cast<float>(points[k].x), static_cast<float>(points[k].y), 1.0f);
        BitBlt(previewDc, 0, 0, kW, kH, mainDc, 0, 0, SRCCOPY);
        api().LPLinesSetInkFlow(preview.get(), 0.5f);
        api().LPLinesClear(preview.get());
        for (std::size_t i = k, n = 5; i < points.size() && n > 0; ++i, --n)
            api().LPLinesLineTo(preview.get(), shown.dc(), static_cast<float>(points[i].x),
                                static_cast<float>(points[i].y), n == 5 ? 1.0f : 0.2f * static_cast<float>(n));
        api().LPLinesEnd(preview.get(), shown.dc());
        BitBlt(mainDc, 0, 0, kW, kH, previewDc, 0, 0, SRCCOPY);
    }
    api().LPLinesEnd(main.get(), shown.dc());

    PatternDc reference(kW, kH);
    api().LPLinesClear(alone.get());
    for (const POINT& p : points)
        api().LPLinesLineTo(alone.get(), reference.dc(), static_cast<float>(p.x), static_cast<float>(p.y), 1.0f);
    api().LPLinesEnd(alone.get(), reference.dc());

    EXPECT_LE(largestDifference(shown, reference, kW, kH), 1);
    HDC aloneDc = nullptr;
    api().LPLinesGetCanvasDC(alone.get(), &aloneDc);
    int ownDifferences = 0;
    for (int y = 0; y < kH; y += 2)
        for (int x = 0; x < kW; x += 2) {
            const COLORREF a = GetPixel(mainDc, x, y);
            const COLORREF b = GetPixel(aloneDc, x, y);
            ownDifferences += std::abs(GetGValue(a) - GetGValue(b)) > 1;
        }
    EXPECT_EQ(ownDifferences, 0);
}

TEST(LPLinesDll, DrawsOntoADeviceDependentBitmapToo)
{
    ASSERT_EQ(api().bound, 24);
    Engine e;
    ASSERT_EQ(api().LPLinesSetCanvasSize(e.get(), 200, 100), LPLINES_OK);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ original = SelectObject(memory, bitmap);
    ReleaseDC(nullptr, screen);
    PatBlt(memory, 0, 0, 200, 100, WHITENESS);

    api().LPLinesLineTo(e.get(), memory, 20, 50, 1.0f);
    api().LPLinesLineTo(e.get(), memory, 180, 50, 1.0f);
    api().LPLinesEnd(e.get(), memory);
    EXPECT_EQ(GetPixel(memory, 100, 50), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 100, 20), RGB(255, 255, 255));
    const int edge = GetGValue(GetPixel(memory, 100, 53));
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);

    SelectObject(memory, original);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST(LPLinesDll, PathRecordsPositionsPressuresTimesAndStrokeMarks)
{
    ASSERT_EQ(api().bound, 24);
    Engine e;
    api().LPLinesSetCanvasSize(e.get(), 100, 100);
    const DWORD before = GetTickCount();
    api().LPLinesClear(e.get());
    api().LPLinesLineTo(e.get(), nullptr, 10, 20, 0.25f);
    api().LPLinesLineTo(e.get(), nullptr, 30.5f, 40, 1.75f);
    api().LPLinesEnd(e.get(), nullptr);
    api().LPLinesClear(e.get());
    api().LPLinesLineTo(e.get(), nullptr, 50, 60, 2.0f);
    EXPECT_EQ(api().LPLinesLineTo(e.get(), nullptr, std::numeric_limits<float>::quiet_NaN(), 1, 1), LPLINES_E_ARGUMENT);
    api().LPLinesEnd(e.get(), nullptr);
    const DWORD after = GetTickCount();

    int count = 0;
    ASSERT_EQ(api().LPLinesPathCount(e.get(), &count), LPLINES_OK);
    ASSERT_EQ(count, 3);
    LPLinesPoint p[3]{};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(api().LPLinesPathPoint(e.get(), i, &p[i]), LPLINES_OK);
    EXPECT_FLOAT_EQ(p[1].x, 30.5f);
    EXPECT_FLOAT_EQ(p[1].y, 40.0f);
    EXPECT_FLOAT_EQ(p[1].pressure, 1.75f);
    EXPECT_EQ(p[0].flags, LPLINES_POINT_BEGIN);
    EXPECT_EQ(p[1].flags, LPLINES_POINT_END);
    EXPECT_EQ(p[2].flags, LPLINES_POINT_BEGIN | LPLINES_POINT_END);
    for (const LPLinesPoint& point : p) {
        EXPECT_GE(point.time - before, 0u);
        EXPECT_LE(point.time - before, after - before);
    }
    EXPECT_EQ(api().LPLinesPathPoint(e.get(), 3, &p[0]), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesPathPoint(e.get(), -1, &p[0]), LPLINES_E_ARGUMENT);
    EXPECT_EQ(api().LPLinesPathPoint(e.get(), 0, nullptr), LPLINES_E_ARGUMENT);

    EXPECT_EQ(api().LPLinesPathClear(e.get()), 0);
    EXPECT_EQ(api().LPLinesPathCount(e.get(), &count), LPLINES_OK);
    EXPECT_EQ(count, 0);
}

} // namespace
