// The drawing thread's stroke logic, free of the window system: it turns
// cursor samples into queued points, commits the oldest one while the pen
// is ahead, plans the tapering preview of the rest, and drains the queue
// with a falling pressure when the pen lifts. Rendering is left to a
// StrokeRenderer.
#pragma once

#include "geometry.h"
#include "ink_point.h"
#include "pressure.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace penwick {

// Values of a canvas's penState.
constexpr std::int32_t kPenStateDown = 1;
constexpr std::int32_t kPenStateUp = 2;

// Committed rendering trails the pen by this many points; they are shown
// by the preview meanwhile.
constexpr std::size_t kQueuedBehindPen = 5;

enum class SampleAction { none, penDown, move, penUp };

// The points the preview draws, in screen coordinates: from the point just
// committed through every point still queued.
struct PreviewPlan {
    InkSpot start;
    std::array<InkSpot, PointQueue::kCapacity> points{};
    std::size_t count = 0;
};

class StrokeRenderer {
public:
    virtual ~StrokeRenderer() = default;
    // Renders one point for good; it may convert the point in place.
    virtual void commit(InkPoint& point) = 0;
    virtual bool canPreview() const = 0;
    virtual void preview(const PreviewPlan& plan) = 0;

protected:
    StrokeRenderer() = default;
    StrokeRenderer(const StrokeRenderer&) = default;
    StrokeRenderer& operator=(const StrokeRenderer&) = default;
};

// The pressure of the oldest of `queued` points while the queue drains.
float drainPressure(float basePressure, std::size_t queued);

// Pressure of the first moves of a stroke (counter 1 to 5): 0.4 to 1.2, so
// a stroke starts light whatever the speed.
float rampPressure(int moveCounter);

class StrokeCapture {
public:
    explicit StrokeCapture(std::int32_t& penState) : penState_(penState) {}

    // One cursor sample: a pressed button over the window begins a stroke,
    // moves continue it, a release ends it. Returns what was queued.
    SampleAction sample(bool pressed, int x, int y, std::uint32_t tick, PressureSimulator& pressure);

    bool commitDue() const { return queue_.size() > kQueuedBehindPen; }
    bool drainDue() const { return !queue_.empty() && penState_ == kPenStateUp; }

    // Commits the oldest point, then previews the others with a tapering
    // pressure (while the pen is down). The preview's walk also moves the
    // base point that the drain tapers from.
    void commitOldest(StrokeRenderer& renderer);
    // Commits every queued point, the oldest first, with a pressure falling
    // linearly to a fifth of the base pressure.
    void drain(StrokeRenderer& renderer);
    void discardQueue() { queue_.clear(); }

    std::size_t queued() const { return queue_.size(); }
    const PointQueue& queue() const { return queue_; }
    std::uint32_t lastPointTick() const { return lastPointTick_; }
    const InkPoint& basePoint() const { return basePoint_; }

private:
    // A new point from the ring, at the front of the queue.
    void queuePoint(InkKind kind, int x, int y, float pressure, std::uint32_t tick);
    void chooseBaseFromStroke();

    std::int32_t& penState_;
    InkPointRing ring_;
    PointQueue queue_;
    InkPoint previous_;
    int lastCursorX_ = 0;
    int lastCursorY_ = 0;
    int moveCounter_ = 0;
    std::uint32_t lastPointTick_ = 0;
    InkPoint basePoint_;
    // The base point came from a commit of the current stroke. A stroke too
    // short for any commit takes its base from its own points instead, so
    // that a click leaves the same dot whatever was drawn before.
    bool baseFromThisStroke_ = false;
};

} // namespace penwick
