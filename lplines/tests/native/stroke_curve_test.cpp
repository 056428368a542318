#include "stroke_curve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace lplines {
namespace {

InkVertex point(double x, double y, float radius = 2.0f)
{
    return {x, y, radius, 1.0f};
}

std::vector<Capsule> drawAll(StrokeCurve& curve, const std::vector<InkVertex>& points)
{
    std::vector<Capsule> settled;
    for (const InkVertex& p : points)
        curve.add(p, settled);
    curve.finish(settled);
    return settled;
}

double distanceToPieces(double x, double y, const std::vector<Capsule>& pieces)
{
    double best = 1e300;
    for (const Capsule& c : pieces) {
        const double ex = c.to.x - c.from.x, ey = c.to.y - c.from.y;
        const double l2 = ex * ex + ey * ey;
        const double t = l2 > 0 ? std::clamp(((x - c.from.x) * ex + (y - c.from.y) * ey) / l2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(c.from.x + ex * t - x, c.from.y + ey * t - y));
    }
    return best;
}

// The curve's direction where it has come `reach` px along its pieces
// from (or, backwards, up to) the vertex nearest to (x, y).
double turnAt(double x, double y, const std::vector<Capsule>& pieces, double reach)
{
    std::size_t corner = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (std::hypot(pieces[i].to.x - x, pieces[i].to.y - y) < std::hypot(pieces[corner].to.x - x, pieces[corner].to.y - y))
            corner = i;
    auto walk = [&](int step) {
        std::size_t i = corner;
        double walked = 0.0;
        while (walked < reach && i + step < pieces.size() && (step > 0 || i > 0)) {
            i += step;
            walked += std::hypot(pieces[i].to.x - pieces[i].from.x, pieces[i].to.y - pieces[i].from.y);
        }
        return pieces[i].to;
    };
    const InkVertex& c = pieces[corner].to;
    const InkVertex before = walk(-1), after = walk(1);
    const double in = std::atan2(c.y - before.y, c.x - before.x), out = std::atan2(after.y - c.y, after.x - c.x);
    return std::fabs(std::remainder(out - in, 2 * 3.14159265358979323846)) * 180 / 3.14159265358979323846;
}

std::vector<InkVertex> wholePixels(const std::vector<std::pair<double, double>>& path, double step)
{
    std::vector<InkVertex> points;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const double length = std::hypot(path[i + 1].first - path[i].first, path[i + 1].second - path[i].second);
        for (double at = 0; at < length; at += step) {
            const double t = at / length;
            const InkVertex p = point(std::round(path[i].first + (path[i + 1].first - path[i].first) * t),
                                      std::round(path[i].second + (path[i + 1].second - path[i].second) * t));
            if (points.empty() || points.back().x != p.x || points.back().y != p.y)
                points.push_back(p);
        }
    }
    points.push_back(point(std::round(path.back().first), std::round(path.back().second)));
    return points;
}

// Mouse input comes in whole pixels: the curve smooths the rounding away
// but stays within half a pixel of every point and reaches the newest one,
// its pieces join, and a turn the hand made stays a sharp corner.
TEST(StrokeCurve, StaysWithinHalfAPixelOfEveryPointAndKeepsCorners)
{
    std::vector<std::pair<double, double>> loop;
    for (int i = 0; i <= 40; ++i)
        loop.push_back({50 + 2.2 * i - 7 * std::sin(i * 0.35), 50 + 7 * std::cos(i * 0.35)});
    const struct {
        const char* name;
        std::vector<InkVertex> points;
        std::vector<std::pair<double, double>> corners;
    } cases[] = {
        {"slow shallow slant", wholePixels({{10.2, 20.3}, {200.7, 35.1}}, 1.3), {}},
        {"small loops", wholePixels(loop, 2.0), {}},
        {"zig-zag", wholePixels({{10, 60}, {28, 15}, {46, 60}, {64, 15}, {82, 60}}, 2.5), {{28, 15}, {46, 60}, {64, 15}}},
        {"sparse points", {point(0, 0), point(40, 10), point(60, 50), point(20, 80), point(0, 60)}, {}},
    };
    for (const auto& c : cases) {
        StrokeCurve curve;
        curve.restart(0.08, true);
        std::vector<Capsule> pieces;
        for (const InkVertex& p : c.points) {
            curve.add(p, pieces);
            // No lag: the ink reaches each point as it arrives.
            if (!curve.tail().empty()) {
                EXPECT_EQ(curve.tail().back().to.x, p.x) << c.name;
                EXPECT_EQ(curve.tail().back().to.y, p.y) << c.name;
            }
        }
        curve.finish(pieces);
        for (std::size_t i = 2; i < pieces.size(); ++i) {
            EXPECT_DOUBLE_EQ(pieces[i].from.x, pieces[i - 1].to.x) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(pieces[i].from.y, pieces[i - 1].to.y) << c.name << " " << i;
        }
        for (const InkVertex& p : c.points)
            EXPECT_LE(distanceToPieces(p.x, p.y, pieces), 0.5) << c.name << " at " << p.x << "," << p.y;
        // Each corner of the zig-zag turns by 136 degrees; rounded off, the
        // path 4 px either side of it would turn far less.
        for (const auto& [x, y] : c.corners)
            EXPECT_GT(turnAt(x, y, pieces, 4.0), 110.0) << c.name << " corner " << x << "," << y;
    }
}

// A stroke that comes on at a bounded rate per pixel of length: a jump of
// the pressure becomes a swell, a real press still shows.
TEST(StrokeCurve, WidthChangesAtABoundedRateYetFollowsAPress)
{
    const struct {
        const char* name;
        double spacing;
        std::vector<float> radii;   // per point
        double widest;              // most radius anywhere
        double pressedAt;           // px along where the press has been on for 20 px
        double pressedRadius;       // at least this radius there
    } cases[] = {
        {"mouse pen-down ramp", 6.0, {0.4f, 0.8f, 1.2f, 1.6f, 2.0f, 2.4f, 1.6f, 1.6f, 1.6f, 1.6f, 1.6f, 1.6f, 1.6f, 1.6f}, 1.25 * 1.6, 0, 0},
        {"tablet press", 2.0, std::vector<float>(40, 1.0f), 2.0, 120.0, 1.4},
    };
    for (const auto& c : cases) {
        std::vector<InkVertex> points;
        for (std::size_t i = 0; i < 120 && (i < c.radii.size() || c.pressedAt > 0); ++i) {
            const float r = i < c.radii.size() ? c.radii[i] : 2.0f;   // the press: radius 1 to 2
            points.push_back(point(10 + c.spacing * static_cast<double>(i), 50, r));
        }
        StrokeCurve curve;
        curve.restart(0.08, true);
        const std::vector<Capsule> pieces = drawAll(curve, points);
        double widest = 0.0, pressed = 0.0;
        for (const Capsule& p : pieces) {
            const double length = std::hypot(p.to.x - p.from.x, p.to.y - p.from.y);
            EXPECT_LE(std::fabs(p.to.radius - p.from.radius), 0.1 * length + 1e-4) << c.name << " at " << p.to.x;
            widest = std::max(widest, static_cast<double>(p.to.radius));
            if (c.pressedAt > 0 && std::fabs(p.to.x - 10 - c.pressedAt) < 1.0)
                pressed = p.to.radius;
        }
        EXPECT_LE(widest, c.widest) << c.name;
        EXPECT_GE(pressed, c.pressedRadius) << c.name;
    }
}

// The canvas library's preview goes on from where the committed stroke
// ends: a curve continuing another draws what the other will draw, also
// where the provisional tail spans many points of a slow stroke.
TEST(StrokeCurve, AContinuationDrawsWhatTheCurveItContinuesWill)
{
    for (const double step : {2.0, 1.0}) {
        const std::vector<InkVertex> points = wholePixels({{10, 10}, {60, 30}, {90, 80}}, step);
        const std::size_t committedPoints = 20, previewedPoints = 12;
        ASSERT_GE(points.size(), committedPoints + previewedPoints);
        StrokeCurve committed;
        committed.restart(0.08, true);
        std::vector<Capsule> drawn;
        for (std::size_t i = 0; i < committedPoints; ++i)
            committed.add(points[i], drawn);

        StrokeCurve preview;
        preview.restart(0.08, true);
        const InkVertex& joint = points[committedPoints - 1];
        ASSERT_TRUE(committed.endsAt(joint.x, joint.y));
        preview.continueFrom(committed);
        std::vector<Capsule> previewed;
        preview.add(joint, previewed);
        EXPECT_TRUE(previewed.empty()) << step;   // no cap where the two meet
        drawn.clear();
        for (std::size_t i = committedPoints; i < committedPoints + previewedPoints; ++i) {
            committed.add(points[i], drawn);
            preview.add(points[i], previewed);
        }
        committed.finish(drawn);
        preview.finish(previewed);
        ASSERT_EQ(previewed.size(), drawn.size()) << step;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_DOUBLE_EQ(previewed[i].to.x, drawn[i].to.x) << step << " " << i;
            EXPECT_DOUBLE_EQ(previewed[i].to.y, drawn[i].to.y) << step << " " << i;
            EXPECT_FLOAT_EQ(previewed[i].to.radius, drawn[i].to.radius) << step << " " << i;
        }
    }
}

TEST(StrokeCurve, SixteenPointsOfACircleGiveARoundCurve)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    std::vector<InkVertex> points;
    for (int i = 0; i <= 16; ++i) {
        const double a = 2.0 * 3.14159265358979323846 * i / 16;
        points.push_back(point(100 + 80 * std::cos(a), 100 + 80 * std::sin(a)));
    }
    double worst = 0.0;
    // The first and last segments of an open curve leave along their chords;
    // the ones between must keep to the circle.
    std::vector<Capsule> settled;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::size_t before = settled.size();
        curve.add(points[i], settled);
        if (i < 3)
            continue;
        for (std::size_t j = before; j < settled.size(); ++j)
            worst = std::max(worst, std::fabs(std::hypot(settled[j].to.x - 100, settled[j].to.y - 100) - 80));
    }
    // A 16-gon strays 1.5 px from this circle between its corners.
    EXPECT_LT(worst, 0.35);
}

// The pieces to the newest few points are provisional, drawn again as
// each point arrives: the settled ink must go on exactly where it ended,
// the provisional ink must start there, and the provisional stretch must
// stay a few points long however long the stroke grows.
// The provisional tail covers what later points may still move: the last
// three points of a fast stroke, the last few pixels of a slow one, in a
// few pieces however slowly the pen moves (its straight runs are drawn as
// one piece each); the end settles it where the stroke ends.
TEST(StrokeCurve, ProvisionalTailStartsWhereTheSettledInkEndsAndStaysShort)
{
    const struct {
        const char* name;
        std::vector<InkVertex> points;
        std::size_t mostTailPieces;
    } cases[] = {
        {"slow shallow slant", wholePixels({{10.2, 20.3}, {120.7, 29.1}}, 1.0), 6},
        {"zig-zag", wholePixels({{10, 60}, {28, 15}, {46, 60}, {64, 15}}, 2.5), 40},
        {"sparse points", {point(0, 0), point(40, 10), point(60, 50), point(20, 80), point(0, 60), point(30, 30)}, 200},
    };
    for (const auto& c : cases) {
        StrokeCurve curve;
        curve.restart(0.08, true);
        std::vector<Capsule> settled;
        std::vector<double> along{0.0};
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            if (i > 0)
                along.push_back(along.back() + std::hypot(c.points[i].x - c.points[i - 1].x, c.points[i].y - c.points[i - 1].y));
            const std::size_t before = settled.size();
            curve.add(c.points[i], settled);
            if (before > 0 && settled.size() > before) {
                EXPECT_DOUBLE_EQ(settled[before].from.x, settled[before - 1].to.x) << c.name << " " << i;
                EXPECT_DOUBLE_EQ(settled[before].from.y, settled[before - 1].to.y) << c.name << " " << i;
            }
            if (i == 0)
                continue;
            ASSERT_FALSE(curve.tail().empty()) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(curve.tail().front().from.x, settled.back().to.x) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(curve.tail().front().from.y, settled.back().to.y) << c.name << " " << i;
            EXPECT_LE(curve.tail().size(), c.mostTailPieces) << c.name << " " << i;
            // The provisional ink starts near one of the last four points, or
            // of the last ten pixels of the path.
            bool nearARecentPoint = false;
            for (std::size_t j = 0; j < i; ++j)
                nearARecentPoint = nearARecentPoint
                    || ((i - j <= 4 || along[i] - along[j] <= 10.0)
                        && std::hypot(curve.tail().front().from.x - c.points[j].x,
                                      curve.tail().front().from.y - c.points[j].y) <= 0.5);
            EXPECT_TRUE(nearARecentPoint) << c.name << " " << i;
        }
        const std::size_t before = settled.size();
        curve.finish(settled);
        ASSERT_GT(settled.size(), before) << c.name;
        EXPECT_DOUBLE_EQ(settled[before].from.x, settled[before - 1].to.x) << c.name;
        EXPECT_DOUBLE_EQ(settled.back().to.x, c.points.back().x) << c.name;
        EXPECT_DOUBLE_EQ(settled.back().to.y, c.points.back().y) << c.name;
        EXPECT_TRUE(curve.tail().empty()) << c.name;
    }
}

TEST(StrokeCurve, RepeatedPointIsOneDotThatKeepsTheLatestPressure)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    std::vector<Capsule> settled;
    curve.add(point(5, 5, 1.0f), settled);
    curve.add(point(5.01, 5, 3.0f), settled);
    EXPECT_EQ(curve.distinctPoints(), 1);
    ASSERT_EQ(settled.size(), 2u);
    EXPECT_FLOAT_EQ(settled.back().from.radius, 3.0f);
    EXPECT_TRUE(curve.tail().empty());
}

TEST(StrokeCurve, FarAwayPointsCostABoundedNumberOfPieces)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    const std::vector<Capsule> pieces =
        drawAll(curve, {point(0, 0), point(1e30, 5), point(-1e30, -1e30), point(10, 10)});
    EXPECT_LT(pieces.size(), 4u * 257u);
}

TEST(StrokeCurve, DraftQualityJoinsPointsWithStraightPieces)
{
    StrokeCurve curve;
    curve.restart(0.25, false);
    const std::vector<Capsule> pieces = drawAll(curve, {point(0, 0), point(10, 0), point(10, 10), point(0, 10)});
    EXPECT_EQ(pieces.size(), 4u);   // the dot and three chords
}

TEST(StrokeCurve, WidthChangesSmoothlyWithoutOvershooting)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    const std::vector<Capsule> pieces =
        drawAll(curve, {point(0, 0, 1), point(20, 0, 4), point(40, 0, 4), point(60, 0, 1)});
    for (const Capsule& c : pieces) {
        EXPECT_GE(c.to.radius, 1.0f - 1e-4f);
        EXPECT_LE(c.to.radius, 4.0f + 1e-4f);
    }
}

} // namespace
} // namespace lplines
