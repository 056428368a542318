#include "measures.h"

#include <algorithm>
#include <cmath>

namespace inkq {

void Spread::add(double d)
{
    sumSquares += d * d;
    count += 1.0;
    largest = std::max(largest, d);
}

void Spread::add(const Spread& other)
{
    sumSquares += other.sumSquares;
    count += other.count;
    largest = std::max(largest, other.largest);
}

double Spread::rms() const
{
    return count > 0.0 ? std::sqrt(sumSquares / count) : 0.0;
}

double distanceToLine(double x, double y, const std::vector<CentreVertex>& line)
{
    double best = 1e300;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const CentreVertex& a = line[i];
        const CentreVertex& b = line[i + 1 < line.size() ? i + 1 : i];
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double length2 = ex * ex + ey * ey;
        const double t = length2 > 0.0 ? std::clamp(((x - a.x) * ex + (y - a.y) * ey) / length2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(a.x + ex * t - x, a.y + ey * t - y));
    }
    return best;
}

namespace {

template <typename Visit>
void everyHalfPixel(const std::vector<CentreVertex>& line, Visit&& visit)
{
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CentreVertex& a = line[i];
        const CentreVertex& b = line[i + 1];
        const int steps = std::max(1, static_cast<int>(std::ceil(2.0 * std::hypot(b.x - a.x, b.y - a.y))));
        for (int k = 0; k < steps; ++k) {
            const double t = static_cast<double>(k) / steps;
            visit(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t);
        }
    }
    if (!line.empty())
        visit(line.back().x, line.back().y);
}

} // namespace

Spread lineDistance(const std::vector<CentreVertex>& a, const std::vector<CentreVertex>& b)
{
    Spread spread;
    everyHalfPixel(a, [&](double x, double y) { spread.add(distanceToLine(x, y, b)); });
    everyHalfPixel(b, [&](double x, double y) { spread.add(distanceToLine(x, y, a)); });
    return spread;
}

std::vector<double> widthProfile(const std::vector<CentreVertex>& line)
{
    std::vector<double> profile;
    if (line.empty())
        return profile;
    profile.push_back(line.front().width);
    double next = 1.0;   // arc length of the next sample
    double walked = 0.0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CentreVertex& a = line[i];
        const CentreVertex& b = line[i + 1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        for (; next <= walked + length; next += 1.0) {
            const double t = length > 0.0 ? (next - walked) / length : 1.0;
            profile.push_back(a.width + (b.width - a.width) * t);
        }
        walked += length;
    }
    return profile;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

double steepestSlope(const std::vector<double>& profile)
{
    double steepest = 0.0;
    for (std::size_t i = 1; i < profile.size(); ++i)
        steepest = std::max(steepest, std::fabs(profile[i] - profile[i - 1]));
    return steepest;
}

namespace {

double inkAt(const Picture& p, double x, double y)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    return p.ink(x0, y0) * (1 - fx) * (1 - fy) + p.ink(x0 + 1, y0) * fx * (1 - fy) + p.ink(x0, y0 + 1) * (1 - fx) * fy
         + p.ink(x0 + 1, y0 + 1) * fx * fy;
}

} // namespace

double inkAcross(const Picture& picture, double x, double y, double angle)
{
    constexpr double kStep = 0.125;
    const double dx = std::cos(angle) * kStep, dy = std::sin(angle) * kStep;
    double sum = 0.0;
    for (int i = -400; i <= 400; ++i)
        sum += inkAt(picture, x + dx * i, y + dy * i) * kStep;
    return sum;
}

void inkCentre(const Picture& picture, double& x, double& y)
{
    double total = 0.0, sx = 0.0, sy = 0.0;
    for (int py = 0; py < picture.height; ++py)
        for (int px = 0; px < picture.width; ++px) {
            const double ink = picture.ink(px, py);
            total += ink;
            sx += ink * px;
            sy += ink * py;
        }
    x = total > 0.0 ? sx / total : 0.0;
    y = total > 0.0 ? sy / total : 0.0;
}

} // namespace inkq
