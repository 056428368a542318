#include "stroke_capture.h"

#include <algorithm>

namespace penwick {

float drainPressure(float basePressure, std::size_t queued)
{
    return basePressure / 5.0f * static_cast<float>(queued);
}

float rampPressure(int moveCounter)
{
    return static_cast<float>(moveCounter * 0.2 + 0.2);
}

SampleAction StrokeCapture::sample(bool pressed, int x, int y, std::uint32_t tick,
                                   PressureSimulator& pressure)
{
    SampleAction action = SampleAction::none;
    if (pressed && penState_ == kPenStateUp) {
        penState_ = kPenStateDown;
        pressure.simulatePressure(true, 0, 0, 0, 0);
        moveCounter_ = 0;
        baseFromThisStroke_ = false;
        queuePoint(InkKind::penDown, x, y, 0.2f, tick);
        action = SampleAction::penDown;
    } else if (pressed && penState_ == kPenStateDown && (x != lastCursorX_ || y != lastCursorY_)) {
        if (moveCounter_ <= 5)
            ++moveCounter_;
        const double simulated = pressure.simulatePressure(false, previous_.x, previous_.y, x, y);
        queuePoint(InkKind::move, x, y,
                   moveCounter_ <= 5 ? rampPressure(moveCounter_) : static_cast<float>(simulated), tick);
        action = SampleAction::move;
    } else if (!pressed && penState_ == kPenStateDown) {
        penState_ = kPenStateUp;
        queuePoint(InkKind::penUp, x, y, 0.0f, tick);
        action = SampleAction::penUp;
    }
    lastCursorX_ = x;
    lastCursorY_ = y;
    return action;
}

void StrokeCapture::queuePoint(InkKind kind, int x, int y, float pressure, std::uint32_t tick)
{
    InkPoint& point = ring_.allocInkPoint();
    point.x = x;
    point.y = y;
    point.kind = kind;
    point.pressure = pressure;
    point.pending = 1;
    point.tick = tick;
    lastPointTick_ = tick;
    previous_ = point;
    queue_.pushNewest(point);
}

void StrokeCapture::commitOldest(StrokeRenderer& renderer)
{
    if (queue_.empty())
        return;
    InkPoint& oldest = queue_.oldest();
    basePoint_ = oldest;
    baseFromThisStroke_ = true;
    renderer.commit(oldest);
    oldest.done = 1;
    queue_.popOldest();

    if (!renderer.canPreview())
        return;
    PreviewPlan plan;
    plan.start = {basePoint_.x, basePoint_.y, basePoint_.pressure};
    std::size_t n = queue_.size();
    for (std::size_t i = 0; i < queue_.size() && n > 0; ++i, --n) {
        const InkPoint& point = queue_.at(i);
        float pressure = point.pressure;
        if (n >= kQueuedBehindPen)
            basePoint_ = point;
        else
            pressure = std::min(pressure, basePoint_.pressure / 5.0f * static_cast<float>(n));
        plan.points[plan.count++] = {point.x, point.y, pressure};
    }
    // Once the pen has lifted the drain follows at once and draws these
    // points for good; a preview would only be erased again.
    if (penState_ == kPenStateDown)
        renderer.preview(plan);
}

void StrokeCapture::chooseBaseFromStroke()
{
    const InkPoint* strongest = &queue_.oldest();
    for (std::size_t i = 1; i < queue_.size(); ++i) {
        if (queue_.at(i).pressure > strongest->pressure)
            strongest = &queue_.at(i);
    }
    basePoint_ = *strongest;
    baseFromThisStroke_ = true;
}

void StrokeCapture::drain(StrokeRenderer& renderer)
{
    if (queue_.empty())
        return;
    if (!baseFromThisStroke_)
        chooseBaseFromStroke();
    while (!queue_.empty()) {
        InkPoint& oldest = queue_.oldest();
        oldest.pressure = drainPressure(basePoint_.pressure, queue_.size());
        renderer.commit(oldest);
        oldest.done = 1;
        queue_.popOldest();
    }
}

} // namespace penwick
