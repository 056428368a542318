// Anti-aliased coverage of capsules (the hull of two discs of different
// radii), from their exact signed distance: a pixel is covered by the share
// of a one-pixel box around its centre that lies inside the ink. Pixel
// (x, y) has its centre at the coordinates (x, y).
#pragma once

#include "ink_style.h"
#include "pixels.h"
#include "stroke_curve.h"

#include <cstdint>
#include <vector>

namespace lplines {

// Receives coverage row by row and keeps, per pixel, the largest value it
// was given: a stroke is inked as if in one pass, however often its pieces
// overlap.
class CoverageSink {
public:
    virtual ~CoverageSink() = default;
    virtual void maxRow(int y, int x, int count, const std::uint8_t* values) = 0;

protected:
    CoverageSink() = default;
    CoverageSink(const CoverageSink&) = default;
    CoverageSink& operator=(const CoverageSink&) = default;
};

// The pixels a capsule may ink, within `clip`.
IntRect capsuleBounds(const Capsule& capsule, const StrokeInk& ink, const IntRect& clip);

class CapsuleRasterizer {
public:
    // Draws the part of `capsule` that falls in `clip`, returns the
    // rectangle it may have covered (empty when nothing).
    IntRect draw(const Capsule& capsule, const StrokeInk& ink, const IntRect& clip, CoverageSink& sink);

private:
    std::vector<std::uint8_t> row_;
};

} // namespace lplines
