// Turns the points of a stroke into a smooth inked centre line.
//
// The curve runs through every point (centripetal Catmull-Rom, which never
// loops or overshoots on unevenly spaced points) and is cut into short
// capsules: the hull of two inked discs, with the width and strength
// varying smoothly from point to point.
//
// The piece between the last two points depends on the point that comes
// next, so it is kept apart as the provisional tail: it is drawn as if the
// stroke ended there and replaced when the next point arrives.
#pragma once

#include "ink_style.h"

#include <array>
#include <vector>

namespace lplines {

struct InkVertex {
    double x = 0.0;
    double y = 0.0;
    float radius = 0.0f;
    float strength = 0.0f;
};

// The convex hull of two inked discs; both ends equal give a dot.
struct Capsule {
    InkVertex from;
    InkVertex to;
};

class StrokeCurve {
public:
    // Forgets every point; the next point starts a new curve.
    void restart(double flatness, bool smooth);

    // Adds the next point. Pieces no later point can change are appended to
    // `settled`; the provisional tail is rebuilt (see tail()).
    void add(const InkVertex& point, std::vector<Capsule>& settled);

    // Ends the curve: the provisional tail is appended to `settled`.
    void finish(std::vector<Capsule>& settled);

    const std::vector<Capsule>& tail() const { return tail_; }
    int distinctPoints() const { return count_; }

private:
    const InkVertex& fromEnd(int i) const { return recent_[(next_ + 4 - i) % 4]; }
    InkVertex pointBefore(int i) const;
    void rebuildTail();
    void appendPiece(const InkVertex& before, const InkVertex& from, const InkVertex& to,
                     const InkVertex& after, std::vector<Capsule>& out) const;

    std::array<InkVertex, 4> recent_{};   // the last four distinct points, a ring
    int next_ = 0;                        // slot of the next point
    int count_ = 0;                       // distinct points so far
    double flatness_ = 0.08;
    bool smooth_ = true;
    std::vector<Capsule> tail_;
};

} // namespace lplines
