// What the canvas library sends the engine for a stroke: the drawing
// thread's own logic (penwick's portable stroke capture and speed-based
// pressure) run on timed mouse samples, or a tablet's packets drawn as they
// come, at whole-pixel positions.
#pragma once

#include "engine_under_test.h"
#include "strokes.h"

#include <vector>

namespace inkq {

// One call the canvas library makes on an engine.
struct CanvasCall {
    enum Kind { begin, lineTo, end, preview } kind;
    Spot rounded;              // what it sends (whole pixels)
    Spot exact;                // the same point at the hand's exact position
    std::vector<Spot> spots;   // a preview pass
};

std::vector<CanvasCall> canvasCalls(const Stroke& stroke, Device device);

// The committed points of a stroke, as sent or at exact positions.
std::vector<Spot> committedSpots(const std::vector<CanvasCall>& calls, bool exact);

// Plays the calls on the engine; `exact` moves the committed points to the
// hand's positions (previews are left out then). After each call that
// changes the shown picture, `frame` is called (may be null).
template <typename Frame>
void play(EngineUnderTest& engine, const std::vector<CanvasCall>& calls, bool exact, Frame&& frame)
{
    for (const CanvasCall& call : calls) {
        const Spot& at = exact ? call.exact : call.rounded;
        switch (call.kind) {
        case CanvasCall::begin:
            engine.begin();
            engine.lineTo(at.x, at.y, at.pressure);
            break;
        case CanvasCall::lineTo:
            engine.lineTo(at.x, at.y, at.pressure);
            break;
        case CanvasCall::end:
            engine.lineTo(at.x, at.y, at.pressure);
            engine.end();
            break;
        case CanvasCall::preview:
            if (exact)
                continue;
            engine.preview(call.spots);
            break;
        }
        frame(call);
    }
}

} // namespace inkq
