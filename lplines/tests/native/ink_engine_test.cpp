// The engine's bookkeeping: where it draws, what it records, and how a
// stroke and its preview share a target.
#include "test_canvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lplines {
namespace {

using testing::Canvas;
using testing::drawStroke;
using testing::MemoryTarget;
using testing::StrokePoint;
using testing::TestEngine;

std::vector<StrokePoint> wavyStroke(int count, double step = 6.0)
{
    std::vector<StrokePoint> points;
    for (int i = 0; i < count; ++i) {
        const double x = 30 + i * step;
        points.push_back({x, 100 + 40 * std::sin(x / 25.0), static_cast<float>(0.6 + 0.4 * std::sin(i / 5.0))});
    }
    return points;
}

TEST(InkEngine, SettingsAreCheckedAndKept)
{
    Workshop workshop;
    InkEngine engine(workshop);
    EXPECT_EQ(engine.style().color, 0xFF000000u);
    EXPECT_FLOAT_EQ(engine.style().inkFlow, 1.0f);
    EXPECT_TRUE(engine.setPenWidth(1.0f));
    EXPECT_TRUE(engine.setPenWidth(50.0f));
    EXPECT_FALSE(engine.setPenWidth(0.5f));
    EXPECT_FALSE(engine.setPenWidth(51.0f));
    EXPECT_FALSE(engine.setPenWidth(std::nanf("")));
    EXPECT_FLOAT_EQ(engine.style().penWidth, 50.0f);
    EXPECT_FALSE(engine.setInkFlow(-0.1f));
    EXPECT_TRUE(engine.setInkFlow(2.5f));   // kept as given, inks as 1
    EXPECT_FLOAT_EQ(engine.style().inkFlow, 2.5f);
    engine.setQuality(-7);
    EXPECT_EQ(engine.style().quality, -7);
    EXPECT_FALSE(engine.setTipHardness(1.5f));
}

TEST(InkEngine, EachPointLocksOnlyTheAreaOfItsInkWhateverTheCanvasSize)
{
    std::vector<std::vector<IntRect>> locksBySize;
    for (const auto& size : {std::pair{300, 200}, std::pair{2000, 1500}}) {
        Workshop workshop;
        TestEngine engine(workshop, size.first, size.second);
        MemoryTarget target(size.first, size.second);
        drawStroke(*engine, wavyStroke(40), &target);
        // A point repaints the few steps of the stroke its provisional ink
        // spans (each at most 6 px across and 9.6 px up or down here) and
        // the pen's reach around them.
        for (const IntRect& r : target.locks()) {
            EXPECT_LE(r.width(), 40);
            EXPECT_LE(r.height(), 48);
        }
        locksBySize.push_back(target.locks());
    }
    EXPECT_EQ(locksBySize[0], locksBySize[1]);
}

TEST(InkEngine, TargetKeepsItsOwnPictureAroundAndUnderTheInk)
{
    Workshop workshop;
    TestEngine engine(workshop, 300, 200);
    MemoryTarget target(300, 200, 0xFF808080u);
    engine->setColor(0xFF0000FFu);
    drawStroke(*engine, wavyStroke(30), &target);
    const Canvas& shown = target.canvas();
    EXPECT_EQ(shown.at(5, 5), 0xFF808080u);
    EXPECT_EQ(shown.at(290, 190), 0xFF808080u);
    // Full ink is the pen's colour on both surfaces; partial ink mixes with
    // what each surface showed.
    const int y = static_cast<int>(std::lround(100 + 40 * std::sin(30 / 25.0)));
    EXPECT_EQ(shown.at(30, y), 0xFF0000FFu);
    EXPECT_EQ(engine.surface().at(30, y), 0xFF0000FFu);
    int edgesCompared = 0;
    for (int yy = 0; yy < 200; ++yy)
        for (int x = 0; x < 300; ++x) {
            const std::uint32_t own = engine.surface().at(x, yy);
            const std::uint32_t ownRed = (own >> 16) & 0xFF;
            if (ownRed < 10 || ownRed > 245)
                continue;
            EXPECT_LT((shown.at(x, yy) >> 16) & 0xFF, ownRed);   // grey under it, not white
            ++edgesCompared;
        }
    EXPECT_GT(edgesCompared, 100);
}

TEST(InkEngine, PathRecordsEveryPointWithStrokeMarks)
{
    Workshop workshop;
    TestEngine engine(workshop, 100, 100);
    engine->beginStroke();
    engine->lineTo(10, 20, 0.5f, 1000, nullptr);
    engine->lineTo(11, 22, 0.75f, 1016, nullptr);
    engine->lineTo(12, 24, 1.0f, 1032, nullptr);
    engine->endStroke(nullptr);
    engine->lineTo(50, 50, 2.0f, 2000, nullptr);   // a new stroke without beginStroke
    engine->endStroke(nullptr);

    const std::vector<PathPoint>& path = engine->path();
    ASSERT_EQ(path.size(), 4u);
    EXPECT_FLOAT_EQ(path[1].x, 11.0f);
    EXPECT_FLOAT_EQ(path[1].y, 22.0f);
    EXPECT_FLOAT_EQ(path[1].pressure, 0.75f);
    EXPECT_EQ(path[1].time, 1016u);
    EXPECT_EQ(path[0].flags, kPathBegin);
    EXPECT_EQ(path[1].flags, 0u);
    EXPECT_EQ(path[2].flags, kPathEnd);
    EXPECT_EQ(path[3].flags, kPathBegin | kPathEnd);

    // The ink smooths whole-pixel points; the record keeps them as given.
    std::vector<StrokePoint> jagged;
    for (int i = 0; i < 30; ++i)
        jagged.push_back({10.0 + 2 * i, 50.0 + (i % 3 == 1), 0.3f + 0.02f * static_cast<float>(i)});
    engine->clearPath();
    drawStroke(*engine, jagged, nullptr);
    ASSERT_EQ(engine->path().size(), jagged.size());
    for (std::size_t i = 0; i < jagged.size(); ++i) {
        EXPECT_EQ(engine->path()[i].x, static_cast<float>(jagged[i].x)) << i;
        EXPECT_EQ(engine->path()[i].y, static_cast<float>(jagged[i].y)) << i;
        EXPECT_EQ(engine->path()[i].pressure, jagged[i].pressure) << i;
    }

    // Cleared in the middle of a stroke: the stroke's next point begins it
    // in the record.
    engine->beginStroke();
    engine->lineTo(1, 1, 1.0f, 3000, nullptr);
    engine->clearPath();
    engine->lineTo(2, 2, 1.0f, 3010, nullptr);
    engine->endStroke(nullptr);
    ASSERT_EQ(engine->path().size(), 1u);
    EXPECT_EQ(engine->path()[0].flags, kPathBegin | kPathEnd);
}

// How the canvas library previews the points it has not committed yet: a
// second instance copies the main surface, draws a tapering tail from the
// last committed point onto the same target and its own surface, and its
// surface is copied back into the main one.
class PreviewedStroke : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;

    PreviewedStroke() : main_(workshop_, kWidth, kHeight), preview_(workshop_, kWidth, kHeight), shown_(kWidth, kHeight)
    {
        for (InkEngine* e : {&*main_, &*preview_}) {
            e->setPenWidth(8.0f);
            e->setInkFlow(0.5f);
        }
    }

    void previewFrom(const std::vector<StrokePoint>& points, std::size_t committed)
    {
        copyOverlap(main_.surface().view(), preview_.surface().view());
        preview_->beginStroke();
        const StrokePoint& base = points[committed];
        preview_->lineTo(base.x, base.y, base.pressure, 0, &shown_);
        for (std::size_t i = committed + 1, n = 4; i < points.size() && i <= committed + 5; ++i, --n) {
            const float tapered = std::min(points[i].pressure, base.pressure / 5.0f * static_cast<float>(n));
            preview_->lineTo(points[i].x, points[i].y, tapered, 0, &shown_);
        }
        preview_->endStroke(&shown_);
        copyOverlap(preview_.surface().view(), main_.surface().view());
    }

    Workshop workshop_;
    TestEngine main_;
    TestEngine preview_;
    MemoryTarget shown_;
};

TEST_F(PreviewedStroke, EndsExactlyAsTheStrokeAloneAndNeverDarkensOnTheWay)
{
    const std::vector<StrokePoint> points = wavyStroke(45);
    main_->beginStroke();
    int darkestShown = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        main_->lineTo(points[k].x, points[k].y, points[k].pressure, 0, &shown_);
        darkestShown = std::max(darkestShown, shown_.canvas().darkest());
        previewFrom(points, k);
        darkestShown = std::max(darkestShown, shown_.canvas().darkest());
    }
    main_->endStroke(&shown_);

    EXPECT_LE(darkestShown, 128);   // one layer of half-strength ink

    Workshop alone;
    TestEngine reference(alone, kWidth, kHeight);
    reference->setPenWidth(8.0f);
    reference->setInkFlow(0.5f);
    MemoryTarget referenceShown(kWidth, kHeight);
    drawStroke(*reference, points, &referenceShown);
    EXPECT_LE(shown_.canvas().largestDifference(referenceShown.canvas()), 1);
    EXPECT_LE(main_.surface().largestDifference(reference.surface()), 1);
}

TEST_F(PreviewedStroke, PreviewJoinsTheCommittedInkWithoutAGap)
{
    const std::vector<StrokePoint> points = wavyStroke(30, 9.0);
    main_->beginStroke();
    for (std::size_t k = 0; k < 20; ++k) {
        main_->lineTo(points[k].x, points[k].y, 1.0f, 0, &shown_);
        previewFrom(points, k);
    }
    // What the window shows right after the next commit: committed ink up to
    // point 20 and the previous preview beyond it (still at least 4/5 of
    // the width up to point 21), one continuous stroke.
    main_->lineTo(points[20].x, points[20].y, 1.0f, 0, &shown_);
    for (std::size_t k = 15; k <= 20; ++k) {
        const int x = static_cast<int>(std::lround(points[k].x));
        const int y = static_cast<int>(std::lround(points[k].y));
        const int between = static_cast<int>(std::lround(100 + 40 * std::sin((points[k].x + 4) / 25.0)));
        EXPECT_NEAR(shown_.canvas().darkness(x, y), 128, 1) << k;
        EXPECT_NEAR(shown_.canvas().darkness(x + 4, between), 128, 1) << k;
    }
}

TEST(InkEngine, DifferentInkOnTheSameTargetIsNotShared)
{
    Workshop workshop;
    TestEngine red(workshop, 200, 200);
    TestEngine blue(workshop, 200, 200);
    red->setColor(0xFFFF0000u);
    blue->setColor(0xFF0000FFu);
    MemoryTarget shown(200, 200);
    red->beginStroke();
    red->lineTo(20, 100, 1.0f, 0, &shown);
    drawStroke(*blue, {{100, 20, 1.0f}, {100, 180, 1.0f}}, &shown);
    red->lineTo(180, 100, 1.0f, 0, &shown);
    red->endStroke(&shown);
    // Blue stays where red did not go; where red went, red is on top.
    EXPECT_EQ(shown.canvas().at(100, 40), 0xFF0000FFu);
    EXPECT_EQ(shown.canvas().at(100, 100), 0xFFFF0000u);
}

TEST(InkEngine, ClearingOrReplacingTheSurfaceMidStrokeIsSafe)
{
    Workshop workshop;
    TestEngine engine(workshop, 200, 100);
    MemoryTarget shown(200, 100);
    engine->beginStroke();
    engine->lineTo(10, 50, 1.0f, 0, &shown);
    engine->lineTo(60, 50, 1.0f, 0, &shown);
    engine->clearSurface();
    EXPECT_EQ(engine.surface().darkest(), 0);
    Canvas bigger(400, 300);
    engine->setSurface(bigger.view());
    engine->lineTo(390, 290, 1.0f, 0, &shown);   // beyond the old surface, within the new
    engine->endStroke(&shown);
    EXPECT_GT(bigger.darkness(390, 290), 200);
    engine->setSurface({});
    drawStroke(*engine, {{5, 5, 1.0f}, {50, 50, 1.0f}}, &shown);   // no surface: nothing drawn, path kept
    EXPECT_EQ(engine->path().size(), 5u);
}

} // namespace
} // namespace lplines
