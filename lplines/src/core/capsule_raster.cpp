#include "capsule_raster.h"

#include <algorithm>
#include <cmath>

namespace lplines {

namespace {

// Cuts the segment of a capsule to a rectangle (Liang-Barsky), carrying
// radius and strength along; false when nothing of it is left.
bool clipSegment(Capsule& c, double left, double top, double right, double bottom)
{
    const double dx = c.to.x - c.from.x;
    const double dy = c.to.y - c.from.y;
    double t0 = 0.0;
    double t1 = 1.0;
    int side0 = -1;   // the edge that cut each end, if any
    int side1 = -1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {c.from.x - left, right - c.from.x, c.from.y - top, bottom - c.from.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            if (r > t0) {
                t0 = r;
                side0 = i;
            }
        } else if (r < t1) {
            t1 = r;
            side1 = i;
        }
        if (t0 > t1)
            return false;
    }
    const Capsule original = c;
    const double edges[4] = {left, right, top, bottom};
    // A cut end lies on its edge exactly: interpolating a coordinate of a
    // far-away end would lose the canvas in rounding.
    auto at = [&](double t, int side) {
        InkVertex v;
        v.x = original.from.x + dx * t;
        v.y = original.from.y + dy * t;
        if (side == 0 || side == 1)
            v.x = edges[side];
        else
            v.y = edges[side];
        v.radius = static_cast<float>(original.from.radius + (original.to.radius - original.from.radius) * t);
        v.strength = static_cast<float>(original.from.strength
                                        + (original.to.strength - original.from.strength) * t);
        return v;
    };
    if (side0 >= 0)
        c.from = at(t0, side0);
    if (side1 >= 0)
        c.to = at(t1, side1);
    // With ends far apart (1e38 and 1e19) the cut parameters round to the
    // same value and an end outside the rectangle is left uncut. What lies
    // between such ends inside the rectangle is shorter than the rounding,
    // and the rectangle's margin keeps it clear of any pixel: nothing left.
    const auto inside = [&](const InkVertex& v) {
        return v.x >= left && v.x <= right && v.y >= top && v.y <= bottom;
    };
    return inside(c.from) && inside(c.to);
}

// Signed distance to the hull of the discs (a, ra) and (b, rb), with the
// position of the nearest point along the axis (0 at a, 1 at b).
// The formula is the well-known exact one for an uneven capsule.
struct CapsuleShape {
    float ax, ay, bx, by, ra, rb;
    float h;        // squared axis length
    float cx, cy;   // unit-free direction of the tangent lines
    bool disc;      // one disc holds the other: just the bigger disc
    bool discAtEnd = false;

    CapsuleShape(const Capsule& c, float originX, float originY)
        : ax(static_cast<float>(c.from.x) - originX), ay(static_cast<float>(c.from.y) - originY),
          bx(static_cast<float>(c.to.x) - originX), by(static_cast<float>(c.to.y) - originY),
          ra(c.from.radius), rb(c.to.radius)
    {
        const float ex = bx - ax;
        const float ey = by - ay;
        h = ex * ex + ey * ey;
        const float b = ra - rb;
        disc = h < 1e-6f || b * b >= h;
        if (disc) {
            if (rb > ra) {
                discAtEnd = true;
                ax = bx;
                ay = by;
                ra = rb;
            }
            cx = cy = 0.0f;
            return;
        }
        cx = std::sqrt(h - b * b);
        cy = b;
    }

    float distance(float px, float py, float& along) const
    {
        px -= ax;
        py -= ay;
        if (disc) {
            along = discAtEnd ? 1.0f : 0.0f;
            return std::sqrt(px * px + py * py) - ra;
        }
        const float ex = bx - ax;
        const float ey = by - ay;
        const float qx = std::fabs(px * ey - py * ex) / h;
        const float qy = (px * ex + py * ey) / h;
        along = std::clamp(qy, 0.0f, 1.0f);
        const float k = cx * qy - cy * qx;
        if (k < 0.0f)
            return std::sqrt(h * (qx * qx + qy * qy)) - ra;
        if (k > cx)
            return std::sqrt(h * (qx * qx + qy * qy + 1.0f - 2.0f * qy)) - rb;
        return cx * qx + cy * qy - ra;
    }
};

float edgeWidthOf(const Capsule& capsule, const StrokeInk& ink)
{
    return ink.edgeWidth + ink.softness * std::max(capsule.from.radius, capsule.to.radius);
}

// No ink lies farther than this from the capsule's axis: a pixel is inked
// while its centre is less than half the edge outside the hull. The small
// slack covers rounding in the float distance; a wider margin would only
// cost work (every pixel within reach is evaluated, and composed again on
// both surfaces).
float reachOf(const Capsule& capsule, const StrokeInk& ink)
{
    return std::max(capsule.from.radius, capsule.to.radius) + 0.5f * edgeWidthOf(capsule, ink) + 0.01f;
}

IntRect pixelBox(double minX, double minY, double maxX, double maxY)
{
    constexpr double kFar = 1e9;   // keeps the conversions to int defined
    return {static_cast<int>(std::ceil(std::clamp(minX, -kFar, kFar))),
            static_cast<int>(std::ceil(std::clamp(minY, -kFar, kFar))),
            static_cast<int>(std::floor(std::clamp(maxX, -kFar, kFar))) + 1,
            static_cast<int>(std::floor(std::clamp(maxY, -kFar, kFar))) + 1};
}

} // namespace

IntRect capsuleBounds(const Capsule& capsule, const StrokeInk& ink, const IntRect& clip)
{
    const double reach = reachOf(capsule, ink);
    const IntRect box = pixelBox(std::min(capsule.from.x, capsule.to.x) - reach,
                                 std::min(capsule.from.y, capsule.to.y) - reach,
                                 std::max(capsule.from.x, capsule.to.x) + reach,
                                 std::max(capsule.from.y, capsule.to.y) + reach);
    return box.intersected(clip);
}

IntRect CapsuleRasterizer::draw(const Capsule& capsule, const StrokeInk& ink, const IntRect& clip,
                                CoverageSink& sink)
{
    if (clip.empty())
        return {};
    const float edge = edgeWidthOf(capsule, ink);
    const float reach = reachOf(capsule, ink);

    Capsule c = capsule;
    const double margin = static_cast<double>(reach) + 2.0;
    if (!clipSegment(c, clip.left - margin, clip.top - margin, clip.right - 1 + margin,
                     clip.bottom - 1 + margin))
        return {};

    // Work in floats near the clip's corner, where they are exact enough.
    const float originX = static_cast<float>(clip.left);
    const float originY = static_cast<float>(clip.top);
    const CapsuleShape shape(c, originX, originY);
    const IntRect box = capsuleBounds(c, ink, clip);
    if (box.empty())
        return {};

    // Rows only need the pixels near the axis line.
    const double axisX = c.to.x - c.from.x, axisY = c.to.y - c.from.y;
    const double axisLength = std::sqrt(axisX * axisX + axisY * axisY);
    const bool slanted = axisLength > 1e-6 && std::fabs(axisY / axisLength) > 1e-3;
    const double runPerRow = slanted ? axisX / axisY : 0.0;
    const double half = slanted ? reach * axisLength / std::fabs(axisY) : 0.0;

    const float strengthFrom = c.from.strength;
    const float strengthTo = c.to.strength;
    const float inverseEdge = 1.0f / edge;
    IntRect covered;
    row_.resize(static_cast<std::size_t>(box.width()));
    for (int y = box.top; y < box.bottom; ++y) {
        int x0 = box.left;
        int x1 = box.right;
        if (slanted) {
            const double centre = (y - c.from.y) * runPerRow + c.from.x;
            x0 = std::max(x0, static_cast<int>(std::ceil(centre - half)));
            x1 = std::min(x1, static_cast<int>(std::floor(centre + half)) + 1);
        }
        if (x1 <= x0)
            continue;
        const float py = static_cast<float>(y) - originY;
        bool any = false;
        for (int x = x0; x < x1; ++x) {
            float along = 0.0f;
            const float d = shape.distance(static_cast<float>(x) - originX, py, along);
            const float inside = std::clamp(0.5f - d * inverseEdge, 0.0f, 1.0f);
            const float strength = strengthFrom + (strengthTo - strengthFrom) * along;
            const auto value = static_cast<std::uint8_t>(inside * strength * 255.0f + 0.5f);
            row_[static_cast<std::size_t>(x - x0)] = value;
            any = any || value != 0;
        }
        if (!any)
            continue;
        sink.maxRow(y, x0, x1 - x0, row_.data());
        covered = covered.united({x0, y, x1, y + 1});
    }
    return covered;
}

} // namespace lplines
