// One ink engine as the measurements see it. engine_under_test.cpp is
// compiled twice: against the engine of this tree and against the engine it
// is compared with (its core sources, with the namespace renamed), so both
// run in one process, on the same strokes, timed in turns.
#pragma once

#include "picture.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace inkq {

struct Spot {
    double x;
    double y;
    float pressure;
};

// A point of the centre line the engine inks, with the ink's width there.
struct CentreVertex {
    double x;
    double y;
    double width;
};

struct CentreLine {
    std::vector<CentreVertex> vertices;
    // After each point, the distance from that point to the end of the ink
    // drawn so far (provisional part included): how far the ink lags.
    double worstLag = 0.0;
};

// The canvas library's two instances on one offscreen picture.
class EngineUnderTest {
public:
    virtual ~EngineUnderTest() = default;

    // A fresh white canvas; both instances with this pen and colour.
    virtual void reset(int width, int height, float penWidth, std::uint32_t argb) = 0;
    // What the window would show.
    virtual const Picture& shown() const = 0;

    // The committed stroke, on the main instance.
    virtual void begin() = 0;
    virtual void lineTo(double x, double y, float pressure) = 0;
    virtual void end() = 0;
    // A preview pass on the second instance, as the canvas library makes it:
    // its surface takes the main one's, the spots are drawn onto the shown
    // picture and its own surface, which goes back into the main one.
    virtual void preview(const std::vector<Spot>& spots) = 0;

    // The centre line the engine's curve gives a stroke (no pixels).
    virtual CentreLine centreLine(const std::vector<Spot>& stroke, float penWidth) const = 0;
    // Nanoseconds of CPU time per LineTo for the stroke drawn `rounds` times
    // on a canvas of the given size.
    virtual double lineToCost(const std::vector<Spot>& stroke, float penWidth, int width, int height,
                              int rounds) = 0;
};

std::unique_ptr<EngineUnderTest> makeCurrentEngine();
std::unique_ptr<EngineUnderTest> makeBaselineEngine();

} // namespace inkq
