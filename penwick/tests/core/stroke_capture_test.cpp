#include "core/stroke_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace penwick;

namespace {

struct Committed {
    InkKind kind;
    int x;
    int y;
    float pressure;
};

class RecordingRenderer final : public StrokeRenderer {
public:
    void commit(InkPoint& point) override
    {
        committed.push_back({point.kind, point.x, point.y, point.pressure});
        EXPECT_EQ(point.pending, 1);
        EXPECT_EQ(point.done, 0);
    }
    bool canPreview() const override { return previewPossible; }
    void preview(const PreviewPlan& plan) override { previews.push_back(plan); }

    bool previewPossible = true;
    std::vector<Committed> committed;
    std::vector<PreviewPlan> previews;
};

// Drives the capture the way the drawing thread does: render first, then
// sample.
class StrokeDriver {
public:
    StrokeDriver() : capture(penState) {}

    void cycle(bool pressed, int x, int y)
    {
        if (capture.commitDue())
            capture.commitOldest(renderer);
        if (capture.drainDue())
            capture.drain(renderer);
        capture.sample(pressed, x, y, ++tick, pressure);
    }
    // Pen down at (x, y), `moves` steps of (dx, 0), then up; then one more
    // cycle so that everything is rendered.
    void stroke(int x, int y, int moves, int dx = 3)
    {
        cycle(true, x, y);
        for (int i = 1; i <= moves; ++i)
            cycle(true, x + i * dx, y);
        cycle(false, x + moves * dx, y);
        cycle(false, x + moves * dx, y);
    }
    std::vector<float> pressures() const
    {
        std::vector<float> result;
        for (const Committed& c : renderer.committed)
            result.push_back(c.pressure);
        return result;
    }

    std::int32_t penState = kPenStateUp;
    StrokeCapture capture;
    RecordingRenderer renderer;
    PressureSimulator pressure;
    std::uint32_t tick = 1000;
};

} // namespace

TEST(InkPointRing, HandsOutTwentySlotsRoundRobinZeroed)
{
    InkPointRing ring;
    InkPoint& first = ring.allocInkPoint();
    first.x = 7;
    for (int i = 1; i < 20; ++i)
        EXPECT_NE(&ring.allocInkPoint(), &first);
    InkPoint& again = ring.allocInkPoint();
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.x, 0);
}

TEST(PointQueue, OldestFirst)
{
    InkPoint a, b, c;
    PointQueue queue;
    queue.pushNewest(a);
    queue.pushNewest(b);
    queue.pushNewest(c);
    EXPECT_EQ(&queue.oldest(), &a);
    EXPECT_EQ(&queue.at(2), &c);
    queue.popOldest();
    EXPECT_EQ(&queue.oldest(), &b);
    EXPECT_EQ(queue.size(), 2u);
    for (std::size_t i = 0; i < PointQueue::kCapacity; ++i)
        queue.pushNewest(a);
    EXPECT_EQ(queue.size(), PointQueue::kCapacity);
    EXPECT_FALSE(queue.pushNewest(a));
}

TEST(Sampling, PenDownThenRampingMovesThenSpeedDrivenPressure)
{
    std::int32_t penState = kPenStateUp;
    StrokeCapture capture(penState);
    PressureSimulator pressure;
    PressureSimulator expected;

    EXPECT_EQ(capture.sample(false, 10, 10, 1, pressure), SampleAction::none);
    EXPECT_EQ(capture.sample(true, 10, 10, 2, pressure), SampleAction::penDown);
    EXPECT_EQ(penState, kPenStateDown);
    EXPECT_EQ(capture.queue().at(0).kind, InkKind::penDown);
    EXPECT_FLOAT_EQ(capture.queue().at(0).pressure, 0.2f);
    EXPECT_EQ(capture.queue().at(0).tick, 2u);
    EXPECT_EQ(capture.queue().at(0).pending, 1);
    expected.simulatePressure(true, 0, 0, 0, 0);

    // A sample at the same position is no move.
    EXPECT_EQ(capture.sample(true, 10, 10, 3, pressure), SampleAction::none);

    const float ramp[] = {0.4f, 0.6f, 0.8f, 1.0f, 1.2f};
    int x = 10;
    for (float want : ramp) {
        EXPECT_EQ(capture.sample(true, x + 4, 10, 4, pressure), SampleAction::move);
        expected.simulatePressure(false, x, 10, x + 4, 10);
        x += 4;
        EXPECT_FLOAT_EQ(capture.queue().at(capture.queued() - 1).pressure, want);
    }
    // The sixth move and every later one take the simulated pressure, whose
    // history the first five fed.
    for (int i = 0; i < 3; ++i) {
        capture.sample(true, x + 9, 12, 5, pressure);
        const float want = static_cast<float>(expected.simulatePressure(false, x, 10 + (i ? 2 : 0), x + 9, 12));
        x += 9;
        EXPECT_FLOAT_EQ(capture.queue().at(capture.queued() - 1).pressure, want) << "move " << 6 + i;
        EXPECT_EQ(capture.queue().at(capture.queued() - 1).kind, InkKind::move);
    }
    EXPECT_EQ(capture.sample(false, x, 12, 9, pressure), SampleAction::penUp);
    EXPECT_EQ(penState, kPenStateUp);
    EXPECT_EQ(capture.queue().at(capture.queued() - 1).kind, InkKind::penUp);
    EXPECT_EQ(capture.queue().at(capture.queued() - 1).pressure, 0.0f);
    EXPECT_EQ(capture.lastPointTick(), 9u);
}

TEST(Committing, TrailsThePenByFivePoints)
{
    StrokeDriver driver;
    driver.cycle(true, 0, 0);
    for (int i = 1; i <= 4; ++i)
        driver.cycle(true, i, 0);
    EXPECT_TRUE(driver.renderer.committed.empty());
    EXPECT_EQ(driver.capture.queued(), 5u);
    driver.cycle(true, 5, 0);   // sixth point queued
    EXPECT_TRUE(driver.capture.commitDue());
    driver.cycle(true, 6, 0);   // commits the pen-down point, queues the seventh
    ASSERT_EQ(driver.renderer.committed.size(), 1u);
    EXPECT_EQ(driver.renderer.committed[0].kind, InkKind::penDown);
    EXPECT_EQ(driver.capture.queued(), 6u);
}

TEST(Preview, StartsAtTheCommittedPointAndTapers)
{
    StrokeDriver driver;
    // Seven points queued without rendering: pen down and six moves.
    driver.capture.sample(true, 0, 0, 1, driver.pressure);
    for (int i = 1; i <= 6; ++i)
        driver.capture.sample(true, i * 3, 0, 1, driver.pressure);
    driver.capture.commitOldest(driver.renderer);
    ASSERT_EQ(driver.renderer.previews.size(), 1u);
    const PreviewPlan& plan = driver.renderer.previews[0];
    // Committed: the pen-down point; left: moves 1 to 6 (0.4 ... 1.2, then simulated).
    EXPECT_EQ(plan.start.x, 0);
    EXPECT_FLOAT_EQ(plan.start.pressure, 0.2f);
    ASSERT_EQ(plan.count, 6u);
    // n = 6 and 5: the point becomes the base and keeps its pressure.
    EXPECT_FLOAT_EQ(plan.points[0].pressure, 0.4f);
    EXPECT_FLOAT_EQ(plan.points[1].pressure, 0.6f);
    // Then min(own pressure, base / 5 * n) with base 0.6.
    EXPECT_FLOAT_EQ(plan.points[2].pressure, std::min(0.8f, 0.6f / 5.0f * 4.0f));
    EXPECT_FLOAT_EQ(plan.points[3].pressure, std::min(1.0f, 0.6f / 5.0f * 3.0f));
    EXPECT_FLOAT_EQ(plan.points[4].pressure, std::min(1.2f, 0.6f / 5.0f * 2.0f));
    EXPECT_FLOAT_EQ(plan.points[5].pressure, std::min(driver.capture.queue().at(5).pressure, 0.6f / 5.0f));
    EXPECT_EQ(plan.points[5].x, 18);
    EXPECT_FLOAT_EQ(driver.capture.basePoint().pressure, 0.6f);
    // The queued points themselves are left as they were.
    EXPECT_FLOAT_EQ(driver.capture.queue().at(2).pressure, 0.8f);
}

TEST(Drain, ALongStrokeEndsWithFiveFifthsToOneFifth)
{
    StrokeDriver driver;
    driver.cycle(true, 10, 10);
    for (int i = 1; i <= 20; ++i)
        driver.cycle(true, 10 + i * 3, 10);
    driver.cycle(false, 70, 10);
    // Queued now: five moves and the pen-up point. The next cycle commits
    // the oldest; its walk makes the next one the base, and the five left
    // are drained from that base's own pressure down to a fifth of it.
    ASSERT_EQ(driver.capture.queued(), 6u);
    const float base = driver.capture.queue().at(1).pressure;
    driver.cycle(false, 70, 10);

    const std::vector<Committed>& committed = driver.renderer.committed;
    ASSERT_EQ(committed.size(), 22u);   // pen down, 20 moves, pen up
    EXPECT_EQ(committed.front().kind, InkKind::penDown);
    EXPECT_EQ(committed.back().kind, InkKind::penUp);
    EXPECT_EQ(driver.capture.queued(), 0u);
    const std::size_t first = committed.size() - 5;
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(committed[first + i].pressure, base / 5.0f * static_cast<float>(5 - i)) << i;
}

TEST(Drain, NoPreviewOnceThePenHasLifted)
{
    StrokeDriver driver;
    driver.cycle(true, 0, 0);
    for (int i = 1; i <= 5; ++i)
        driver.cycle(true, i * 2, 0);
    driver.cycle(false, 10, 0);   // pen up queued with five more: six in all
    const std::size_t previews = driver.renderer.previews.size();
    driver.cycle(false, 10, 0);   // commits one, then drains the rest at once
    EXPECT_EQ(driver.renderer.previews.size(), previews);
    EXPECT_EQ(driver.renderer.committed.size(), 7u);
    // The commit's walk still moved the base to the oldest remaining point.
    EXPECT_FLOAT_EQ(driver.renderer.committed[2].pressure, 0.6f);   // its own 5/5
}

TEST(Drain, AClickLeavesTheSameDotWhateverCameBefore)
{
    StrokeDriver fresh;
    fresh.stroke(40, 40, 0);
    ASSERT_EQ(fresh.renderer.committed.size(), 2u);
    EXPECT_EQ(fresh.renderer.committed[0].kind, InkKind::penDown);
    EXPECT_EQ(fresh.renderer.committed[1].kind, InkKind::penUp);
    // The base comes from the click itself: its pen-down pressure 0.2.
    EXPECT_FLOAT_EQ(fresh.renderer.committed[0].pressure, 0.2f / 5.0f * 2.0f);
    EXPECT_FLOAT_EQ(fresh.renderer.committed[1].pressure, 0.2f / 5.0f);

    StrokeDriver afterStroke;
    afterStroke.stroke(10, 10, 30);
    afterStroke.renderer.committed.clear();
    afterStroke.stroke(40, 40, 0);
    EXPECT_EQ(afterStroke.pressures(), fresh.pressures());
}

TEST(Drain, AShortStrokeTapersFromItsStrongestPoint)
{
    StrokeDriver driver;
    driver.stroke(0, 0, 3);   // pen down, 0.4, 0.6, 0.8, pen up
    const std::vector<float> pressures = driver.pressures();
    ASSERT_EQ(pressures.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(pressures[i], 0.8f / 5.0f * static_cast<float>(5 - i));
}

TEST(Preview, WithoutAPreviewTheBaseIsTheCommittedPoint)
{
    StrokeDriver driver;
    driver.renderer.previewPossible = false;
    driver.stroke(0, 0, 8);
    EXPECT_TRUE(driver.renderer.previews.empty());
    ASSERT_EQ(driver.renderer.committed.size(), 10u);
    // Base: the fifth committed point (move 4, pressure 1.0), the last commit.
    const float base = driver.renderer.committed[4].pressure;
    EXPECT_FLOAT_EQ(base, 1.0f);
    EXPECT_FLOAT_EQ(driver.renderer.committed[5].pressure, base);
    EXPECT_FLOAT_EQ(driver.renderer.committed[9].pressure, base / 5.0f);
}

TEST(Discard, EmptiesTheQueue)
{
    StrokeDriver driver;
    driver.cycle(true, 0, 0);
    driver.cycle(true, 5, 0);
    driver.capture.discardQueue();
    EXPECT_EQ(driver.capture.queued(), 0u);
    EXPECT_FALSE(driver.capture.drainDue());
}
