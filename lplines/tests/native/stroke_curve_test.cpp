#include "stroke_curve.h"

#include <gtest/gtest.h>

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

TEST(StrokeCurve, RunsThroughEveryPointAndJoinsItsPieces)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    const std::vector<InkVertex> points{point(0, 0), point(40, 10), point(60, 50), point(20, 80), point(0, 60)};
    const std::vector<Capsule> pieces = drawAll(curve, points);
    ASSERT_GT(pieces.size(), points.size());
    // The first piece is the dot at the first point; after it every piece
    // starts where the previous one ended.
    for (std::size_t i = 2; i < pieces.size(); ++i) {
        EXPECT_DOUBLE_EQ(pieces[i].from.x, pieces[i - 1].to.x) << i;
        EXPECT_DOUBLE_EQ(pieces[i].from.y, pieces[i - 1].to.y) << i;
    }
    for (const InkVertex& p : points) {
        bool reached = false;
        for (const Capsule& c : pieces)
            reached = reached || (c.to.x == p.x && c.to.y == p.y) || (c.from.x == p.x && c.from.y == p.y);
        EXPECT_TRUE(reached) << p.x << "," << p.y;
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

TEST(StrokeCurve, TailIsProvisionalUntilTheNextPoint)
{
    StrokeCurve curve;
    curve.restart(0.08, true);
    std::vector<Capsule> settled;
    curve.add(point(0, 0), settled);
    curve.add(point(30, 0), settled);
    EXPECT_EQ(settled.size(), 1u);   // only the dot at the start
    ASSERT_FALSE(curve.tail().empty());
    EXPECT_DOUBLE_EQ(curve.tail().back().to.x, 30.0);

    curve.add(point(30, 30), settled);
    // The segment to (30, 0) is settled now, bending towards (30, 30).
    EXPECT_GT(settled.size(), 2u);
    EXPECT_DOUBLE_EQ(settled.back().to.x, 30.0);
    EXPECT_DOUBLE_EQ(curve.tail().back().to.y, 30.0);

    const std::size_t tailPieces = curve.tail().size();
    const std::size_t before = settled.size();
    curve.finish(settled);
    EXPECT_EQ(settled.size(), before + tailPieces);
    EXPECT_TRUE(curve.tail().empty());
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
