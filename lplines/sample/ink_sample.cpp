// Draws a sample signature with the engine at a few widths, pressures and
// ink flows, and writes it as a PNG:
//   lplines_sample OUTPUT.png
#include "ink_engine.h"
#include "png_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using lplines::InkEngine;

constexpr double kPi = 3.14159265358979323846;

struct Point {
    double x;
    double y;
    float pressure;
};
using Stroke = std::vector<Point>;

// Pressure the way a hand gives it: heavier when slow, lighter when fast,
// rising at the start of a stroke and lifting off at its end.
void pressFromSpeed(Stroke& stroke, float heaviest)
{
    const std::size_t n = stroke.size();
    float smoothed = 0.5f * heaviest;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = i + 1 < n ? i + 1 : i;
        const std::size_t k = i > 0 ? i - 1 : i;
        const double speed = std::hypot(stroke[j].x - stroke[k].x, stroke[j].y - stroke[k].y);
        const float wanted = static_cast<float>(std::clamp(heaviest * (1.25 - speed / 18.0), 0.35 * heaviest, static_cast<double>(heaviest)));
        smoothed += (wanted - smoothed) * 0.35f;
        const double start = std::min(1.0, (i + 1) / 5.0);
        const double end = std::min(1.0, (n - i) / 6.0);
        stroke[i].pressure = static_cast<float>(smoothed * std::min(start, end));
    }
}

// Cursive loops, one per entry of `heights` (in units of `size`).
Stroke cursive(double x0, double y0, double size, const std::vector<double>& heights)
{
    Stroke s;
    const double letters = static_cast<double>(heights.size());
    for (double t = 0.0; t <= letters; t += 0.055) {
        const auto i = std::min(static_cast<std::size_t>(t), heights.size() - 1);
        const double h = heights[i];
        const double phase = 2.0 * kPi * t;
        const double wide = 1.0 + 0.25 * std::sin(1.7 * static_cast<double>(i) + 0.4);
        const double x = x0 + size * (0.62 * t - 0.21 * wide * std::sin(phase)) + 0.08 * size * std::sin(0.7 * phase);
        const double y = y0 - size * h * (0.5 - 0.5 * std::cos(phase)) + 0.06 * size * t;
        s.push_back({x + 0.28 * (y0 - y), y, 1.0f});   // a right-leaning hand
    }
    return s;
}

// A tall capital with a loop at the top.
Stroke capital(double x0, double y0, double size)
{
    Stroke s;
    for (double t = 0.0; t <= 1.0; t += 0.018) {
        const double a = 2.0 * kPi * (0.15 + 1.1 * t);
        const double r = size * (0.75 - 0.45 * t);
        s.push_back({x0 + r * std::sin(a) + size * 0.25 * t, y0 - size * 0.9 + r * (1.0 - std::cos(a)) * 0.9 + 1.3 * size * t * t, 1.0f});
    }
    return s;
}

// A fast underline that swings back and lifts off.
Stroke flourish(double x0, double y0, double width)
{
    Stroke s;
    for (double t = 0.0; t <= 1.0; t += 0.012) {
        const double x = x0 + width * (t - 0.12 * std::sin(kPi * t * 1.6));
        const double y = y0 + 14.0 * std::sin(kPi * t) - 8.0 * t;
        s.push_back({x, y, 1.0f});
    }
    return s;
}

Stroke signature(double x, double y, double size, std::vector<Stroke>& extra)
{
    extra.clear();
    extra.push_back(capital(x, y, size));
    Stroke word = cursive(x + 0.55 * size, y, 0.55 * size, {0.9, 0.55, 1.4, 0.55, 0.5, 1.5, 0.6});
    extra.push_back(flourish(x - 0.1 * size, y + 0.45 * size, 4.2 * size));
    return word;
}

void draw(InkEngine& engine, Stroke stroke, float heaviest, bool pressFromPen = true)
{
    if (pressFromPen)
        pressFromSpeed(stroke, heaviest);
    engine.beginStroke();
    std::uint32_t time = 0;
    for (const Point& p : stroke)
        engine.lineTo(p.x, p.y, p.pressure, time += 8, nullptr);
    engine.endStroke(nullptr);
}

void drawSignature(InkEngine& engine, double x, double y, double size, float heaviest)
{
    std::vector<Stroke> extra;
    const Stroke word = signature(x, y, size, extra);
    draw(engine, extra[0], heaviest);
    draw(engine, word, heaviest);
    draw(engine, extra[1], heaviest);
    // The dot over a letter: a click.
    draw(engine, {{x + 2.25 * size, y - 0.85 * size, 0.1f}, {x + 2.25 * size, y - 0.85 * size, 0.05f}}, 1.0f, false);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lplines_sample OUTPUT.png\n");
        return 2;
    }
    constexpr int kWidth = 1000;
    constexpr int kHeight = 770;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, lplines::kWhite);
    const lplines::PixelView page{pixels.data(), kWidth, kHeight, kWidth};

    lplines::Workshop workshop;
    InkEngine engine(workshop);
    engine.setSurface(page);

    // Left column: the same signature at pen widths 3, 6 and 10.
    const float widths[] = {3.0f, 6.0f, 10.0f};
    for (int i = 0; i < 3; ++i) {
        engine.setPenWidth(widths[i]);
        drawSignature(engine, 60, 150 + 190 * i, 90, 1.1f);
    }
    // Right column: blue ink, ink flow 0.6 and 0.35 (crossings stay even).
    engine.setPenWidth(6.0f);
    engine.setColor(0xFF1B3F94u);
    drawSignature(engine, 540, 150, 90, 1.1f);
    engine.setColor(0xFF000000u);
    engine.setInkFlow(0.6f);
    drawSignature(engine, 540, 340, 90, 1.1f);
    engine.setInkFlow(0.35f);
    engine.setPenWidth(10.0f);
    drawSignature(engine, 540, 530, 90, 1.1f);

    // Bottom: a tablet pen pressing from 0 up to 2.0 and lifting again
    // (width 8), and a circle given as 16 points (width 3).
    engine.setInkFlow(1.0f);
    engine.setPenWidth(8.0f);
    Stroke sweep;
    for (int i = 0; i <= 120; ++i) {
        const double t = i / 120.0;
        sweep.push_back({60 + 640 * t, 690 + 30 * std::sin(2.0 * kPi * 2.0 * t),
                         static_cast<float>(2.0 * std::sin(kPi * t))});
    }
    draw(engine, sweep, 1.0f, false);
    engine.setPenWidth(3.0f);
    Stroke circle;
    for (int i = 0; i <= 16; ++i) {
        const double a = 2.0 * kPi * i / 16.0;
        circle.push_back({860 + 55 * std::cos(a), 690 + 55 * std::sin(a), 1.0f});
    }
    draw(engine, circle, 1.0f, false);

    return lplines::writePng(argv[1], page) ? 0 : 1;
}
