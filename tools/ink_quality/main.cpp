// Measures how the ink engine draws what the canvas library really sends,
// against the engine it is compared with (the baseline), in one run:
//   ink_quality FONT_DIR [--sample OUTPUT.png]
// FONT_DIR holds the Hershey fonts (Debian's hershey-fonts-data). Every
// stroke is drawn twice per engine: at the hand's exact positions, and as
// the canvas library sends it (whole pixels, its mouse pressures, its
// preview passes), and the two are compared. tools/ink-quality runs it.
#include "canvas_replay.h"
#include "measures.h"
#include "png_writer.h"
#include "strokes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace inkq {
namespace {

constexpr float kPen = 4.0f;
constexpr int kCanvasWidth = 800;
constexpr int kCanvasHeight = 180;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr double kPi = 3.14159265358979323846;

struct Figures {
    Spread wobble;          // centre line from whole pixels against exact positions
    Spread toInput;         // input points to the drawn centre line
    Spread toHand;          // the hand's exact points to the line drawn from whole pixels
    double swell = 0.0;     // widest ink in the first 40 px over the median
    double slope = 0.0;     // px of width per px of length
    double lag = 0.0;       // newest point to the end of the ink
    double dot = 0.0;       // click dot diameter (ink across it) over pen width
    double roundness = 0.0; // narrowest over widest diameter of the dot
    double press = 0.0;     // width gained over a 20 px press, over the width asked
    bool hasSwell = false;
};

struct Measured {
    Drawing drawing;
    std::vector<std::vector<CanvasCall>> calls;   // per stroke
};

void measureDot(EngineUnderTest& engine, const std::vector<CanvasCall>& calls, Figures& f)
{
    engine.reset(kCanvasWidth, kCanvasHeight, kPen, kBlack);
    play(engine, calls, false, [](const CanvasCall&) {});
    double cx = 0.0, cy = 0.0;
    inkCentre(engine.shown(), cx, cy);
    double narrowest = 1e9, widest = 0.0, sum = 0.0;
    for (int i = 0; i < 8; ++i) {
        const double d = inkAcross(engine.shown(), cx, cy, kPi * i / 8);
        narrowest = std::min(narrowest, d);
        widest = std::max(widest, d);
        sum += d;
    }
    f.dot = sum / 8 / kPen;
    f.roundness = widest > 0.0 ? narrowest / widest : 0.0;
}

double widthNear(const std::vector<CentreVertex>& line, double x)
{
    const CentreVertex* best = &line.front();
    for (const CentreVertex& v : line)
        if (std::fabs(v.x - x) < std::fabs(best->x - x))
            best = &v;
    return best->width;
}

Figures measure(EngineUnderTest& engine, const Measured& m)
{
    Figures f;
    for (const std::vector<CanvasCall>& calls : m.calls) {
        const std::vector<Spot> sent = committedSpots(calls, false);
        const CentreLine drawn = engine.centreLine(sent, kPen);
        const std::vector<Spot> hand = committedSpots(calls, true);
        const CentreLine exact = engine.centreLine(hand, kPen);
        for (const Spot& s : hand)
            f.toHand.add(distanceToLine(s.x, s.y, drawn.vertices));
        f.wobble.add(lineDistance(drawn.vertices, exact.vertices));
        for (const Spot& s : sent)
            f.toInput.add(distanceToLine(s.x, s.y, drawn.vertices));
        const std::vector<double> profile = widthProfile(drawn.vertices);
        if (profile.size() >= 80) {
            const double widest = *std::max_element(profile.begin(), profile.begin() + 40);
            f.swell = std::max(f.swell, widest / median(profile));
            f.hasSwell = true;
        }
        f.slope = std::max(f.slope, steepestSlope(profile));
        f.lag = std::max(f.lag, drawn.worstLag);
        if (m.drawing.name == "click")
            measureDot(engine, calls, f);
        if (m.drawing.name == "tablet press")
            f.press = (widthNear(drawn.vertices, 150) - widthNear(drawn.vertices, 130)) / (0.5 * kPen);
    }
    return f;
}

void printRow(const char* engineName, const Measured& m, const Figures& f)
{
    std::printf("  %-18s %-8s %5.3f %5.3f   %5.2f  %5.2f  ", m.drawing.name.c_str(), engineName, f.wobble.rms(),
                f.wobble.largest, f.toInput.largest, f.toHand.rms());
    if (f.hasSwell)
        std::printf("%5.2f", f.swell);
    else
        std::printf("   - ");
    std::printf("    %5.2f   %5.2f", f.slope, f.lag);
    if (m.drawing.name == "click")
        std::printf("   dot %.2f x pen, round %.2f", f.dot, f.roundness);
    if (m.drawing.name == "tablet press")
        std::printf("   press shows %.0f %%", 100.0 * f.press);
    std::printf("\n");
}

// CPU time per LineTo over every committed point of the strokes, the two
// engines timed in turns; the best of nine rounds.
void compareCost(EngineUnderTest& baseline, EngineUnderTest& current, const std::vector<Measured>& all)
{
    double best[2] = {1e300, 1e300};
    for (int round = 0; round < 9; ++round) {
        EngineUnderTest* engines[2] = {&baseline, &current};
        for (int e = 0; e < 2; ++e) {
            double total = 0.0, points = 0.0;
            for (const Measured& m : all)
                for (const auto& calls : m.calls) {
                    const std::vector<Spot> sent = committedSpots(calls, false);
                    total += engines[e]->lineToCost(sent, kPen, 1000, 400, 4) * static_cast<double>(sent.size());
                    points += static_cast<double>(sent.size());
                }
            best[e] = std::min(best[e], total / points);
        }
    }
    std::printf("LineTo cost (CPU time, all strokes, pen %.0f, 1000x400, best of 9 in turns): baseline %.2f us, this engine %.2f us,"
                " ratio %.2f (goal <= 1.3)\n",
                static_cast<double>(kPen), best[0] / 1000.0, best[1] / 1000.0, best[1] / best[0]);
}

// --- the sample picture -------------------------------------------------------

void drawAll(EngineUnderTest& engine, const std::vector<Drawing>& drawings)
{
    for (const Drawing& d : drawings)
        for (const Stroke& s : d.strokes)
            play(engine, canvasCalls(s, d.device), false, [](const CanvasCall&) {});
}

void drawLabel(EngineUnderTest& engine, const std::string& fontDir, const std::string& text, double x, double y)
{
    const Drawing label = lettering(fontDir, "futural", text, x, y, 13, 1000.0);
    for (const Stroke& s : label.strokes) {
        engine.begin();
        for (const Sample& p : s.samples)
            engine.lineTo(p.x, p.y, 1.0f);
        engine.end();
    }
}

void paste(Picture& into, const Picture& from, int atX, int atY, int fromX, int fromY, int w, int h, int zoom)
{
    for (int y = 0; y < h * zoom; ++y)
        for (int x = 0; x < w * zoom; ++x)
            if (into.contains(atX + x, atY + y) && from.contains(fromX + x / zoom, fromY + y / zoom))
                into.at(atX + x, atY + y) = from.at(fromX + x / zoom, fromY + y / zoom);
}

bool writeSample(const std::string& path, const std::string& fontDir, EngineUnderTest& baseline, EngineUnderTest& current)
{
    constexpr int kPanelWidth = 500, kPanelHeight = 300, kZoom = 4, kCropW = 120, kCropH = 56;
    const std::vector<Drawing> all = measuredDrawings(fontDir);
    auto find = [&](const char* name) {
        for (const Drawing& d : all)
            if (d.name == name)
                return d;
        return Drawing{};
    };
    const std::vector<Drawing> page{
        lettering(fontDir, "cursive", "Mira Castell", 15, 72, 40, 520.0),
        moved(find("fast underline"), -5, -12),
        moved(find("small loops"), -20, 90),
        moved(find("zig-zag"), 110, 105),
        moved(find("click"), 290, 95),
        moved(find("slow slanted line"), 0, 140),
        moved(find("tablet"), 0, 205),
    };
    Picture sample(2 * kPanelWidth + 10, kPanelHeight + kCropH * kZoom + 24);
    EngineUnderTest* engines[2] = {&baseline, &current};
    const char* titles[2] = {"today", "smoothed"};
    for (int e = 0; e < 2; ++e) {
        EngineUnderTest& engine = *engines[e];
        engine.reset(kPanelWidth, kPanelHeight, kPen, 0xFF1F3A93u);
        drawAll(engine, page);
        drawLabel(engine, fontDir, titles[e], 15, 20);
        const int left = e * (kPanelWidth + 10);
        paste(sample, engine.shown(), left, 0, 0, 0, kPanelWidth, kPanelHeight, 1);
        paste(sample, engine.shown(), left + 10, kPanelHeight + 20, 12, 30, kCropW, kCropH, kZoom);
    }
    return writePng(path, sample);
}

} // namespace
} // namespace inkq

int main(int argc, char** argv)
{
    using namespace inkq;
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--sample") == 0)) {
        std::fprintf(stderr, "usage: ink_quality FONT_DIR [--sample OUTPUT.png]\n");
        return 2;
    }
    const std::string fontDir = argv[1];
    const auto baseline = makeBaselineEngine();
    const auto current = makeCurrentEngine();
    if (argc == 4)
        return writeSample(argv[3], fontDir, *baseline, *current) ? 0 : 1;

    std::vector<Measured> all;
    for (Drawing& d : measuredDrawings(fontDir)) {
        if (d.strokes.empty()) {
            std::fprintf(stderr, "ink_quality: no fonts in %s (hershey-fonts-data)\n", fontDir.c_str());
            return 1;
        }
        Measured m{std::move(d), {}};
        for (const Stroke& s : m.drawing.strokes)
            m.calls.push_back(canvasCalls(s, m.drawing.device));
        all.push_back(std::move(m));
    }

    std::printf("Ink from what the canvas library sends (whole pixels, its pressures and previews), pen %.0f:\n",
                static_cast<double>(kPen));
    std::printf("  %-18s %-8s wobble rms/max  input  hand   swell    slope    lag\n", "stroke", "engine");
    Figures totals[2], underline[2], slowLine[2];
    EngineUnderTest* engines[2] = {baseline.get(), current.get()};
    const char* names[2] = {"baseline", "this"};
    for (const Measured& m : all)
        for (int e = 0; e < 2; ++e) {
            const Figures f = measure(*engines[e], m);
            printRow(names[e], m, f);
            if (m.drawing.name == "fast underline")
                underline[e] = f;
            if (m.drawing.name == "slow slanted line")
                slowLine[e] = f;
            Figures& t = totals[e];
            if (m.drawing.device == Device::mouse)
                t.wobble.add(f.wobble);
            t.toInput.add(f.toInput);
            t.toHand.add(f.toHand);
            t.swell = std::max(t.swell, f.swell);
            t.slope = std::max(t.slope, f.slope);
            t.lag = std::max(t.lag, f.lag);
            t.dot = std::max(t.dot, f.dot);
            t.roundness = std::max(t.roundness, f.roundness);
            t.press = std::max(t.press, f.press);
        }
    std::printf("\nAll strokes             baseline   this     goal\n");
    std::printf("  wobble, rms (px)        %6.3f   %6.3f   <= 0.08 (mouse strokes)\n", totals[0].wobble.rms(), totals[1].wobble.rms());
    std::printf("    fast underline        %6.3f   %6.3f   <= 0.08\n", underline[0].wobble.rms(), underline[1].wobble.rms());
    std::printf("    slow slanted line     %6.3f   %6.3f   <= 0.08\n", slowLine[0].wobble.rms(), slowLine[1].wobble.rms());
    std::printf("  start swell             %6.2f   %6.2f   <= 1.25 (fast underline: %.2f, %.2f)\n", totals[0].swell,
                totals[1].swell, underline[0].swell, underline[1].swell);
    std::printf("  width slope (px/px)     %6.2f   %6.2f   <= 0.2\n", totals[0].slope, totals[1].slope);
    std::printf("  click dot / pen width   %6.2f   %6.2f   >= 1.0 (roundness %.2f, %.2f)\n", totals[0].dot, totals[1].dot,
                totals[0].roundness, totals[1].roundness);
    std::printf("  centre line to input    %6.2f   %6.2f   <= 0.5 px\n", totals[0].toInput.largest, totals[1].toInput.largest);
    std::printf("  hand to the drawn line   %6.3f   %6.3f   rms px, the hand's exact points to the ink from whole pixels\n", totals[0].toHand.rms(), totals[1].toHand.rms());
    std::printf("  lag of the ink (px)     %6.2f   %6.2f   <= 0.5\n", totals[0].lag, totals[1].lag);
    std::printf("  tablet press shows      %5.0f%%   %5.0f%%   of the width asked, over 20 px\n", 100 * totals[0].press,
                100 * totals[1].press);
    compareCost(*baseline, *current, all);
    return 0;
}
