// Points per second of libLPLines against GDI and GDI+ on a 1920x1080
// memory DC, and how the cost of one point depends on the canvas size.
// Run it from a Release build (tools/lplines-bench builds and runs it).
#include "dll_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

// The build is WIN32_LEAN_AND_MEAN; GDI+ needs the COM headers it leaves out.
#include <objidl.h>
#include <gdiplus.h>

namespace {

struct Point {
    float x;
    float y;
    float pressure;
};

// A long, wandering stroke inside w x h: loops of handwriting size, points
// about `step` pixels apart (a pen moving at an ordinary pace).
std::vector<Point> longStroke(int count, int w, int h, double step)
{
    std::vector<Point> points;
    double t = 0.0;
    for (int i = 0; i < count; ++i) {
        const double x = w * (0.5 + 0.42 * std::sin(0.0031 * t)) + 0.04 * w * std::sin(0.05 * t);
        const double y = h * (0.5 + 0.40 * std::sin(0.0043 * t + 1.0)) + 0.05 * h * std::cos(0.05 * t);
        points.push_back({static_cast<float>(x), static_cast<float>(y),
                          static_cast<float>(0.8 + 0.4 * std::sin(i / 7.0))});
        // Advance so that consecutive points are about `step` apart.
        const double dx = w * (0.42 * 0.0031 * std::cos(0.0031 * t) + 0.04 * 0.05 * std::cos(0.05 * t));
        const double dy = h * (0.40 * 0.0043 * std::cos(0.0043 * t + 1.0) - 0.05 * 0.05 * std::sin(0.05 * t));
        t += step / std::max(0.05, std::hypot(dx, dy));
    }
    return points;
}

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&frequency_); }
    double now() const
    {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return static_cast<double>(c.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
};

// A white 32-bit DIB in a memory DC, like the canvas library's offscreen surface.
class Target : public DibDc {
public:
    Target(int w, int h) : DibDc(w, h) { clear(); }
    void clear() { PatBlt(dc(), 0, 0, width(), height(), WHITENESS); }
};

Clock clock;

// Seconds per point, best of a few runs.
template <typename Run>
double bestPerPoint(int points, Run&& run)
{
    double best = 1e9;
    for (int repeat = 0; repeat < 3; ++repeat) {
        const double start = clock.now();
        run();
        best = std::min(best, (clock.now() - start) / points);
    }
    return best;
}

double engineCost(const std::vector<Point>& stroke, int w, int h, float width, Target& target)
{
    const LPLinesApi& lp = api();
    LPLINES_HANDLE e = nullptr;
    lp.LPLinesCreate(&e, 0);
    lp.LPLinesSetCanvasSize(e, w, h);
    lp.LPLinesSetPenWidth(e, width);
    const double cost = bestPerPoint(static_cast<int>(stroke.size()), [&] {
        lp.LPLinesClear(e);
        for (const Point& p : stroke)
            lp.LPLinesLineTo(e, target.dc(), p.x, p.y, p.pressure);
        lp.LPLinesEnd(e, target.dc());
    });
    lp.LPLinesDestroy(e);
    target.clear();
    return cost;
}

double gdiCost(const std::vector<Point>& stroke, float width, Target& target)
{
    LOGBRUSH brush{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                            static_cast<DWORD>(width), &brush, 0, nullptr);
    HGDIOBJ old = SelectObject(target.dc(), pen);
    const double cost = bestPerPoint(static_cast<int>(stroke.size()), [&] {
        MoveToEx(target.dc(), static_cast<int>(stroke[0].x), static_cast<int>(stroke[0].y), nullptr);
        for (const Point& p : stroke)
            LineTo(target.dc(), static_cast<int>(p.x), static_cast<int>(p.y));
        GdiFlush();
    });
    SelectObject(target.dc(), old);
    DeleteObject(pen);
    target.clear();
    return cost;
}

double gdiplusCost(const std::vector<Point>& stroke, float width, Target& target)
{
    double cost = 0.0;
    {
        Gdiplus::Graphics graphics(target.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::Pen pen(Gdiplus::Color(255, 0, 0, 0), width);
        pen.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
        pen.SetLineJoin(Gdiplus::LineJoinRound);
        cost = bestPerPoint(static_cast<int>(stroke.size()), [&] {
            for (std::size_t i = 1; i < stroke.size(); ++i)
                graphics.DrawLine(&pen, stroke[i - 1].x, stroke[i - 1].y, stroke[i].x, stroke[i].y);
            graphics.Flush(Gdiplus::FlushIntentionSync);
        });
    }
    target.clear();
    return cost;
}

} // namespace

int main()
{
    if (!api().complete()) {
        std::fprintf(stderr, "libLPLines.dll could not be loaded\n");
        return 1;
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    const bool haveGdiplus = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;

    constexpr int kPoints = 6000;
    constexpr double kStep = 4.0;
    const std::vector<Point> stroke = longStroke(kPoints, 1920, 1080, kStep);
    Target big(1920, 1080);

    std::printf("libLPLines benchmark: one stroke of %d points, %.0f px apart, on a 1920x1080 memory DC\n",
                kPoints, kStep);
    std::printf("(points per second, best of 3; GDI is aliased with a round geometric pen, GDI+ is\n"
                " anti-aliased DrawLine per segment with round caps and joins, both without pressure)\n\n");
    std::printf("%6s %14s %14s %14s %12s %12s\n", "width", "libLPLines", "GDI LineTo", "GDI+ AA",
                "vs GDI", "vs GDI+");
    for (const float width : {6.0f, 20.0f}) {
        const double engine = engineCost(stroke, 1920, 1080, width, big);
        const double gdi = gdiCost(stroke, width, big);
        const double gdiplus = haveGdiplus ? gdiplusCost(stroke, width, big) : 0.0;
        std::printf("%6.0f %14.0f %14.0f %14.0f %11.2fx %11.2fx\n", width, 1.0 / engine, 1.0 / gdi,
                    haveGdiplus ? 1.0 / gdiplus : 0.0, gdi / engine, haveGdiplus ? gdiplus / engine : 0.0);
    }

    // The same small stroke on a small and on a big canvas.
    const std::vector<Point> small = longStroke(kPoints, 300, 200, kStep);
    Target smallTarget(300, 200);
    const double onSmall = engineCost(small, 300, 200, 6.0f, smallTarget);
    const double onBig = engineCost(small, 1920, 1080, 6.0f, big);
    std::printf("\nCost of one LPLinesLineTo (width 6), 300x200 canvas / 1920x1080 canvas: %.2f"
                " (%.1f us / %.1f us)\n",
                onSmall / onBig, onSmall * 1e6, onBig * 1e6);

    if (haveGdiplus)
        Gdiplus::GdiplusShutdown(token);
    return 0;
}
