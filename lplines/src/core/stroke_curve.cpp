#include "stroke_curve.h"

#include <algorithm>
#include <cmath>

namespace lplines {

namespace {

// Points closer than this are one point: the pen rested, maybe pressing
// harder.
constexpr double kSamePoint = 0.05;
constexpr int kMaxPiecesPerSegment = 256;

struct Vec {
    double x;
    double y;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s}; }
double length(Vec a) { return std::hypot(a.x, a.y); }
Vec position(const InkVertex& v) { return {v.x, v.y}; }

InkVertex mirrored(const InkVertex& point, const InkVertex& about)
{
    InkVertex m = about;
    m.x = 2.0 * about.x - point.x;
    m.y = 2.0 * about.y - point.y;
    return m;
}

// Slope of a radius at a point, limited so that the radius never swings
// beyond its neighbours between two points (no bulges, no pinches).
double limitedSlope(double slope, double delta)
{
    if (delta == 0.0 || slope * delta <= 0.0)
        return 0.0;
    const double limit = 3.0 * std::fabs(delta);
    return std::clamp(slope, -limit, limit);
}

double hermite(double a, double b, double slopeA, double slopeB, double t)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * a + (t3 - 2 * t2 + t) * slopeA + (-2 * t3 + 3 * t2) * b
         + (t3 - t2) * slopeB;
}

// Knot spacing of the centripetal parameterisation.
double knot(Vec a, Vec b)
{
    return std::sqrt(length(b - a));
}

} // namespace

void StrokeCurve::restart(double flatness, bool smooth)
{
    next_ = 0;
    count_ = 0;
    flatness_ = flatness;
    smooth_ = smooth;
    tail_.clear();
}

InkVertex StrokeCurve::pointBefore(int i) const
{
    // The point before the i-th from the end, or a mirror image when the
    // curve starts there (so it leaves along its first chord).
    if (count_ > i)
        return fromEnd(i + 1);
    return mirrored(fromEnd(i - 1), fromEnd(i));
}

void StrokeCurve::add(const InkVertex& point, std::vector<Capsule>& settled)
{
    if (count_ > 0) {
        InkVertex& last = recent_[(next_ + 3) % 4];
        if (length(position(point) - position(last)) < kSamePoint) {
            last.radius = point.radius;
            last.strength = point.strength;
            settled.push_back({last, last});
            rebuildTail();
            return;
        }
    }
    recent_[next_] = point;
    next_ = (next_ + 1) % 4;
    ++count_;
    if (count_ == 1) {
        settled.push_back({point, point});
        tail_.clear();
        return;
    }
    if (count_ >= 3)
        appendPiece(pointBefore(3), fromEnd(3), fromEnd(2), fromEnd(1), settled);
    rebuildTail();
}

void StrokeCurve::finish(std::vector<Capsule>& settled)
{
    settled.insert(settled.end(), tail_.begin(), tail_.end());
    tail_.clear();
}

void StrokeCurve::rebuildTail()
{
    tail_.clear();
    if (count_ < 2)
        return;
    appendPiece(pointBefore(2), fromEnd(2), fromEnd(1), mirrored(fromEnd(2), fromEnd(1)), tail_);
}

void StrokeCurve::appendPiece(const InkVertex& before, const InkVertex& from, const InkVertex& to,
                              const InkVertex& after, std::vector<Capsule>& out) const
{
    if (!smooth_) {
        out.push_back({from, to});
        return;
    }
    const Vec p0 = position(before), p1 = position(from), p2 = position(to), p3 = position(after);
    const double d1 = knot(p1, p2);
    const double d0 = std::max(knot(p0, p1), 1e-3 * d1);
    const double d2 = std::max(knot(p2, p3), 1e-3 * d1);
    const Vec m1 = ((p1 - p0) * (1.0 / d0) - (p2 - p0) * (1.0 / (d0 + d1)) + (p2 - p1) * (1.0 / d1)) * d1;
    const Vec m2 = ((p2 - p1) * (1.0 / d1) - (p3 - p1) * (1.0 / (d1 + d2)) + (p3 - p2) * (1.0 / d2)) * d1;
    const Vec c1 = p1 + m1 * (1.0 / 3.0);
    const Vec c2 = p2 - m2 * (1.0 / 3.0);

    // Enough pieces that no chord strays more than the flatness from the
    // curve, and that the width changes gently from piece to piece.
    const double bend = std::max(length(p1 - c1 * 2.0 + c2), length(c1 - c2 * 2.0 + p2));
    const double deltaR = static_cast<double>(to.radius) - from.radius;
    double wanted = std::max(std::ceil(std::sqrt(0.75 * bend / flatness_)), std::ceil(std::fabs(deltaR) / 1.5));
    if (!(wanted >= 1.0))
        wanted = 1.0;
    const int pieces = static_cast<int>(std::min<double>(wanted, kMaxPiecesPerSegment));

    const double slope1 = limitedSlope(0.5 * (static_cast<double>(to.radius) - before.radius), deltaR);
    const double slope2 = limitedSlope(0.5 * (static_cast<double>(after.radius) - from.radius), deltaR);

    InkVertex previous = from;
    for (int i = 1; i <= pieces; ++i) {
        InkVertex v = to;
        if (i < pieces) {
            const double t = static_cast<double>(i) / pieces;
            const double u = 1.0 - t;
            const Vec p = p1 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p2 * (t * t * t);
            v.x = p.x;
            v.y = p.y;
            v.radius = static_cast<float>(hermite(from.radius, to.radius, slope1, slope2, t));
            v.strength = static_cast<float>(from.strength + (to.strength - from.strength) * t);
        }
        out.push_back({previous, v});
        previous = v;
    }
}

} // namespace lplines
