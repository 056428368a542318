#include "strokes.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace inkq {

namespace {

constexpr double kPi = 3.14159265358979323846;
using Path = std::vector<std::pair<double, double>>;

double distance(const std::pair<double, double>& a, const std::pair<double, double>& b)
{
    return std::hypot(b.first - a.first, b.second - a.second);
}

// Corner cutting (Chaikin): the font's polylines become the smooth line a
// hand would draw through them; the ends stay.
Path rounded(Path path, int rounds)
{
    for (int r = 0; r < rounds && path.size() > 2; ++r) {
        Path next{path.front()};
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            const auto& a = path[i];
            const auto& b = path[i + 1];
            next.push_back({0.75 * a.first + 0.25 * b.first, 0.75 * a.second + 0.25 * b.second});
            next.push_back({0.25 * a.first + 0.75 * b.first, 0.25 * a.second + 0.75 * b.second});
        }
        next.push_back(path.back());
        path = std::move(next);
    }
    return path;
}

Path resampled(const Path& path, double step)
{
    Path out{path.front()};
    double carried = 0.0;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const double length = distance(path[i], path[i + 1]);
        double at = step - carried;
        for (; at <= length; at += step) {
            const double t = at / length;
            out.push_back({path[i].first + (path[i + 1].first - path[i].first) * t,
                           path[i].second + (path[i + 1].second - path[i].second) * t});
        }
        carried = length - (at - step);
    }
    if (distance(out.back(), path.back()) > 1e-9)
        out.push_back(path.back());
    return out;
}

struct Glyph {
    int left = 0;
    int right = 0;
    std::vector<Path> strokes;
};

// Hershey's format: per glyph a 5-digit number, a 3-digit count of
// coordinate pairs (the first pair is the left and right bearing), then the
// pairs as letters offset from 'R'; " R" lifts the pen. Long glyphs wrap
// onto more lines, so the pairs are read by count, not by line.
std::vector<Glyph> loadFont(const std::string& path)
{
    std::ifstream in(path);
    std::string text;
    for (std::string line; std::getline(in, line);)
        text += line;
    std::vector<Glyph> glyphs;
    std::size_t at = 0;
    while (at + 10 <= text.size()) {
        const int pairs = std::atoi(text.substr(at + 5, 3).c_str());
        at += 8;
        if (pairs < 1 || at + 2 * static_cast<std::size_t>(pairs) > text.size())
            break;
        Glyph g;
        g.left = text[at] - 'R';
        g.right = text[at + 1] - 'R';
        g.strokes.emplace_back();
        for (int i = 1; i < pairs; ++i) {
            const char a = text[at + 2 * static_cast<std::size_t>(i)];
            const char b = text[at + 2 * static_cast<std::size_t>(i) + 1];
            if (a == ' ' && b == 'R')
                g.strokes.emplace_back();
            else
                g.strokes.back().push_back({a - 'R', b - 'R'});
        }
        at += 2 * static_cast<std::size_t>(pairs);
        glyphs.push_back(std::move(g));
    }
    return glyphs;
}

Stroke tabletLine(double x0, double y0, double length, double speed, double (*pressureAt)(double))
{
    Stroke s;
    for (double ms = 0.0;; ms += 5.0) {   // 200 packets a second
        const double along = std::min(length, speed * ms / 1000.0);
        s.samples.push_back({ms, x0 + along, y0 + 6.0 * std::sin(along / 40.0), static_cast<float>(pressureAt(along))});
        if (along >= length)
            break;
    }
    return s;
}

} // namespace

Stroke drawPath(const Path& path, double fastest, double periodMs)
{
    Stroke stroke;
    if (path.empty())
        return stroke;
    constexpr double kStep = 0.25;
    const Path dense = resampled(path, kStep);
    const std::size_t n = dense.size();
    // Radius of the turn at each point, over a pixel either side.
    std::vector<double> speed(n, fastest);
    constexpr std::size_t kReach = 4;
    for (std::size_t i = kReach; i + kReach < n; ++i) {
        const auto& a = dense[i - kReach];
        const auto& b = dense[i];
        const auto& c = dense[i + kReach];
        const double turn = std::fabs(std::atan2((b.first - a.first) * (c.second - b.second) - (b.second - a.second) * (c.first - b.first),
                                                 (b.first - a.first) * (c.first - b.first) + (b.second - a.second) * (c.second - b.second)));
        const double radius = turn > 1e-9 ? 2.0 * kReach * kStep / turn : 1e9;
        speed[i] = std::min(fastest, 0.25 * fastest * std::cbrt(radius));
    }
    const double length = kStep * static_cast<double>(n - 1);
    std::vector<double> ms(n, 0.0);
    for (std::size_t i = 1; i < n; ++i) {
        const double s = kStep * static_cast<double>(i);
        const double ease = std::clamp(std::sqrt(std::min(s + 1.0, length - s + 1.0) / 30.0), 0.08, 1.0);
        ms[i] = ms[i - 1] + 1000.0 * kStep / std::max(1.0, std::min(speed[i], speed[i - 1]) * ease);
    }
    std::size_t i = 0;
    for (double t = 0.0; t < ms.back(); t += periodMs) {
        while (i + 1 < n && ms[i + 1] <= t)
            ++i;
        const double share = i + 1 < n ? (t - ms[i]) / (ms[i + 1] - ms[i]) : 0.0;
        const auto& a = dense[i];
        const auto& b = dense[std::min(i + 1, n - 1)];
        stroke.samples.push_back({t, a.first + (b.first - a.first) * share, a.second + (b.second - a.second) * share, 1.0f});
    }
    stroke.samples.push_back({ms.back(), dense.back().first, dense.back().second, 1.0f});
    return stroke;
}

Drawing lettering(const std::string& fontDir, const std::string& fontName, const std::string& words, double x, double y,
                  double height, double fastest)
{
    Drawing drawing{"signature", Device::mouse, {}};
    const std::vector<Glyph> font = loadFont(fontDir + "/" + fontName + ".jhf");
    if (font.size() < 95)
        return drawing;
    // A capital stands 21 units above the base line, which lies at 9.
    const double scale = height / 21.0;
    double penX = 0.0;
    std::vector<Path> lines;
    bool joinable = false;
    for (const char c : words) {
        if (c < 32 || c > 126)
            continue;
        const Glyph& g = font[static_cast<std::size_t>(c - 32)];
        for (const Path& stroke : g.strokes) {
            if (stroke.empty())
                continue;
            Path placed;
            for (const auto& [gx, gy] : stroke)
                placed.push_back({x + (penX + gx - g.left) * scale, y + (gy - 9.0) * scale});
            // The letters of a word run on where one ends and the next begins.
            if (joinable && !lines.empty() && distance(lines.back().back(), placed.front()) < 1.5 * scale)
                lines.back().insert(lines.back().end(), placed.begin() + 1, placed.end());
            else
                lines.push_back(placed);
            joinable = true;
        }
        penX += g.right - g.left;
        joinable = c != ' ';
    }
    for (const Path& line : lines)
        drawing.strokes.push_back(drawPath(rounded(line, 3), fastest, 8.0));
    return drawing;
}

Drawing moved(Drawing drawing, double dx, double dy)
{
    for (Stroke& stroke : drawing.strokes)
        for (Sample& s : stroke.samples) {
            s.x += dx;
            s.y += dy;
        }
    return drawing;
}

std::vector<Drawing> measuredDrawings(const std::string& fontDir)
{
    std::vector<Drawing> drawings;
    drawings.push_back(lettering(fontDir, "cursive", "Mira Castell", 30, 80, 52, 520.0));

    Path underline;
    for (double t = 0.0; t <= 1.0; t += 0.02)
        underline.push_back({30 + 380 * t, 112 - 10 * t + 9 * std::sin(kPi * t)});
    drawings.push_back({"fast underline", Device::mouse, {drawPath(underline, 900.0, 8.0)}});

    Path loops;
    for (double t = 0.0; t <= 2.0 * kPi * 5.3; t += 0.05)
        loops.push_back({40 + 2.6 * t - 7.5 * std::sin(t), 60 + 7.5 * std::cos(t)});
    drawings.push_back({"small loops", Device::mouse, {drawPath(loops, 420.0, 8.0)}});

    Path zigzag;
    for (int i = 0; i <= 8; ++i)
        zigzag.push_back({40 + 18.0 * i, i % 2 ? 30.0 : 75.0});
    drawings.push_back({"zig-zag", Device::mouse, {drawPath(zigzag, 700.0, 8.0)}});

    drawings.push_back({"slow slanted line", Device::mouse, {drawPath({{30, 60}, {330, 82}}, 110.0, 8.0)}});

    Stroke click;
    for (double ms = 0.0; ms <= 96.0; ms += 8.0)
        click.samples.push_back({ms, 60.0, 60.0, 1.0f});
    drawings.push_back({"click", Device::mouse, {click}});

    // A tablet pen: pressing from light to 1.6 and lifting again.
    drawings.push_back({"tablet", Device::tablet,
                        {tabletLine(30, 60, 360, 320.0, [](double s) { return 0.15 + 1.45 * std::pow(std::sin(kPi * s / 360.0), 2.0); })}});
    // Pressed harder over 20 px, from 0.5 to 1.0 (x 100 to 120 along the line).
    drawings.push_back({"tablet press", Device::tablet,
                        {tabletLine(30, 60, 240, 200.0, [](double s) { return 0.5 + 0.5 * std::clamp((s - 100.0) / 20.0, 0.0, 1.0); })}});
    return drawings;
}

} // namespace inkq
