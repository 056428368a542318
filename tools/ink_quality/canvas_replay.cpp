#include "canvas_replay.h"

#include "stroke_capture.h"

#include <cmath>
#include <deque>

namespace inkq {

namespace {

int pixel(double v)
{
    return static_cast<int>(std::lround(v));
}

// Hands the committed points and preview passes over as calls, with the
// exact position each point was sampled at.
class Recorder : public penwick::StrokeRenderer {
public:
    explicit Recorder(std::vector<CanvasCall>& calls) : calls_(calls) {}

    void sampled(const Sample& s) { exact_.push_back({s.x, s.y, 0.0f}); }

    void commit(penwick::InkPoint& point) override
    {
        const Spot sent{static_cast<double>(point.x), static_cast<double>(point.y), point.pressure};
        CanvasCall call{CanvasCall::lineTo, sent, exact_.empty() ? sent : exact_.front(), {}};
        if (!exact_.empty())
            exact_.pop_front();
        call.exact.pressure = point.pressure;
        if (point.kind == penwick::InkKind::penDown)
            call.kind = CanvasCall::begin;
        else if (point.kind == penwick::InkKind::penUp)
            call.kind = CanvasCall::end;
        calls_.push_back(call);
    }
    bool canPreview() const override { return true; }
    void preview(const penwick::PreviewPlan& plan) override
    {
        CanvasCall call{CanvasCall::preview, {}, {}, {}};
        call.spots.push_back({static_cast<double>(plan.start.x), static_cast<double>(plan.start.y), plan.start.pressure});
        for (std::size_t i = 0; i < plan.count; ++i)
            call.spots.push_back({static_cast<double>(plan.points[i].x), static_cast<double>(plan.points[i].y),
                                  plan.points[i].pressure});
        calls_.push_back(std::move(call));
    }

private:
    std::vector<CanvasCall>& calls_;
    std::deque<Spot> exact_;
};

// The drawing thread's cycle: commit while the pen is ahead, drain once it
// lifted, then read the cursor (every 5 ms; the mouse reports its position
// at its own rate, so the cursor is the last sample reported).
std::vector<CanvasCall> mouseCalls(const Stroke& stroke)
{
    std::vector<CanvasCall> calls;
    Recorder recorder(calls);
    std::int32_t penState = penwick::kPenStateUp;
    penwick::StrokeCapture capture(penState);
    penwick::PressureSimulator pressure;
    const Sample& last = stroke.samples.back();
    std::size_t next = 0;
    for (double ms = 0.0; ms < last.ms + 200.0; ms += 5.0) {
        if (capture.commitDue())
            capture.commitOldest(recorder);
        else if (capture.drainDue())
            capture.drain(recorder);
        while (next + 1 < stroke.samples.size() && stroke.samples[next + 1].ms <= ms)
            ++next;
        const Sample& cursor = stroke.samples[next];
        const bool pressed = ms <= last.ms;
        const auto action = capture.sample(pressed, pixel(cursor.x), pixel(cursor.y), static_cast<std::uint32_t>(ms), pressure);
        if (action != penwick::SampleAction::none)
            recorder.sampled(cursor);
    }
    return calls;
}

// Tablet packets reach the engine one by one with the pen's pressure; the
// packet that lifts the pen has none.
std::vector<CanvasCall> tabletCalls(const Stroke& stroke)
{
    std::vector<CanvasCall> calls;
    for (std::size_t i = 0; i < stroke.samples.size(); ++i) {
        const Sample& s = stroke.samples[i];
        const bool last = i + 1 == stroke.samples.size();
        const float p = last ? 0.0f : s.pressure;
        calls.push_back({i == 0 ? CanvasCall::begin : last ? CanvasCall::end : CanvasCall::lineTo,
                         {static_cast<double>(pixel(s.x)), static_cast<double>(pixel(s.y)), p}, {s.x, s.y, p}, {}});
    }
    return calls;
}

} // namespace

std::vector<CanvasCall> canvasCalls(const Stroke& stroke, Device device)
{
    return device == Device::mouse ? mouseCalls(stroke) : tabletCalls(stroke);
}

std::vector<Spot> committedSpots(const std::vector<CanvasCall>& calls, bool exact)
{
    std::vector<Spot> spots;
    for (const CanvasCall& call : calls)
        if (call.kind != CanvasCall::preview)
            spots.push_back(exact ? call.exact : call.rounded);
    return spots;
}

} // namespace inkq
