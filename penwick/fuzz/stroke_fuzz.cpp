// The drawing thread's stroke logic on any cursor samples: positions
// anywhere a screen (or a tablet mapped onto it) can put the cursor, with a
// wide margin, jumps, clock ticks that wrap, buttons pressed and released at
// any moment, with the renderer committing, previewing and draining as the
// thread does; and the pressure simulation and drawn rectangle on any steps.
// Promises: no crash; the queue stays within its capacity; every pressure
// the renderer gets is finite and within the range a stroke can reach; a
// preview holds no more points than the queue; the drawn rectangle stays
// in the client area.

#include "core/geometry.h"
#include "core/pressure.h"
#include "core/stroke_capture.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace penwick;

[[noreturn]] void broken(const char* promise)
{
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

// Pressures reach 1.2 at a stroke's start (rampPressure) and a little over
// 1 from speed; a drain only lowers them.
constexpr float kHighestPressure = 2.0f;

void checkPressure(float pressure)
{
    if (!std::isfinite(pressure) || pressure < 0.0f || pressure > kHighestPressure)
        broken("pressures are finite and within reach");
}

class CheckingRenderer final : public StrokeRenderer {
public:
    explicit CheckingRenderer(bool previews) : previews_(previews) {}

    void commit(InkPoint& point) override
    {
        checkPressure(point.pressure);
        extendDrawnRect(drawn_, drawnBefore_, point.x, point.y, client_);
        drawnBefore_ = true;
        if (drawn_.left < 0 || drawn_.top < 0 || drawn_.right > client_.right || drawn_.bottom > client_.bottom)
            broken("the drawn rectangle stays in the client area");
        trail_.add({point.x, point.y, point.pressure});
        trail_.inkArea(6.0f);
    }
    bool canPreview() const override { return previews_; }
    void preview(const PreviewPlan& plan) override
    {
        if (plan.count > plan.points.size())
            broken("a preview holds no more points than it has room for");
        checkPressure(plan.start.pressure);
        for (std::size_t i = 0; i < plan.count; ++i)
            checkPressure(plan.points[i].pressure);
        inkBounds(plan.points.data(), plan.count, 6.0f);
    }

private:
    bool previews_;
    IntRect client_{0, 0, 800, 600};
    IntRect drawn_;
    bool drawnBefore_ = false;
    StrokeTrail trail_;
};

// Virtual screens span some tens of thousands of pixels.
constexpr int kFarthest = 1 << 20;

int position(FuzzedDataProvider& input, int previous)
{
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0: return input.ConsumeIntegralInRange(-kFarthest, kFarthest);
    case 1: return input.ConsumeBool() ? kFarthest : -kFarthest;
    default: return std::clamp(previous + input.ConsumeIntegralInRange(-40, 40), -kFarthest, kFarthest);
    }
}

void checkStepFunctions(FuzzedDataProvider& input)
{
    const int width = stepWidth(input.ConsumeIntegralInRange(-2 * kFarthest, 2 * kFarthest),
                                input.ConsumeIntegralInRange(-2 * kFarthest, 2 * kFarthest));
    if (width < 5 || width > 1024)
        broken("a step's width is between 5 and 1024");
    PressureSimulator simulator;
    for (int i = 0; i < 8 && input.remaining_bytes() > 0; ++i) {
        const double pressure = simulator.simulatePressure(
            input.ConsumeBool(), position(input, 0), position(input, 0), position(input, 0), position(input, 0));
        if (!std::isfinite(pressure) || pressure < 0.0 || pressure > 1.0)
            broken("a simulated pressure is between 0 and 1");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeIntegralInRange(0, 3) == 0) {
        checkStepFunctions(input);
        return 0;
    }
    std::int32_t penState = kPenStateUp;
    StrokeCapture capture(penState);
    PressureSimulator pressure;
    CheckingRenderer renderer(input.ConsumeBool());
    int x = 400;
    int y = 300;
    std::uint32_t tick = input.ConsumeIntegral<std::uint32_t>();
    for (int cycle = 0; cycle < 2000 && input.remaining_bytes() > 0; ++cycle) {
        // In the drawing thread's order: render what is due, then sample.
        if (capture.commitDue())
            capture.commitOldest(renderer);
        if (capture.drainDue())
            capture.drain(renderer);
        x = position(input, x);
        y = position(input, y);
        tick += input.ConsumeIntegralInRange<std::uint32_t>(0, input.ConsumeBool() ? 40 : UINT32_MAX);
        capture.sample(input.ConsumeIntegralInRange(0, 5) != 0, x, y, tick, pressure);
        if (capture.queued() > PointQueue::kCapacity)
            broken("the queue stays within its capacity");
    }
    return 0;
}
