// Turns the points of a stroke into a smooth inked centre line.
//
// Pen input comes in whole pixels, so a curve through every point would
// show the rounding as bumps and stair steps. Each point is therefore
// placed by a small weighted fit to its neighbours (the points of the last
// few pixels, or of a straight stretch, and the few after it), never more
// than half a pixel from where it was given, and never across a sharp
// turn: a corner the hand made stays a corner. The curve runs through the
// placed points as cubic pieces whose handles follow the fitted
// directions, cut into short capsules (the hull of two inked discs).
//
// The width follows the pressure through a filter along the length of the
// stroke: it changes by at most a small amount per pixel of length, so a
// jump in pressure becomes a gentle swell while a pen pressed harder over a
// stretch still draws wider there.
//
// A point's place depends on the points after it (those of the next few
// pixels), so the pieces drawn to the points of the last few pixels are
// kept apart as the provisional tail: it reaches the newest point exactly
// and is drawn again as each point arrives; a piece settles once every
// point its fit takes has arrived. The newest few points are placed again
// at every point; older provisional points wait, as last placed, for the
// rest of their fit's points.
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
    // An offset or a direction in the plane.
    struct Vec {
        double x;
        double y;
    };

    // Forgets every point; the next point starts a new curve.
    void restart(double flatness, bool smooth);

    // Adds the next point (its radius and strength as the pen asks). Pieces
    // no later point can change are appended to `settled`; the provisional
    // tail is rebuilt (see tail()).
    void add(const InkVertex& point, std::vector<Capsule>& settled);

    // Ends the curve: the provisional tail is appended to `settled`.
    void finish(std::vector<Capsule>& settled);

    // Takes over another curve's points, so that points added from now on
    // continue it exactly as they would continue the other one (the other
    // curve's settled pieces are not drawn again; its provisional tail is,
    // settling as the points after it arrive).
    void continueFrom(const StrokeCurve& other);
    // Whether the newest point lies at (x, y).
    bool endsAt(double x, double y) const;

    const std::vector<Capsule>& tail() const { return tail_; }
    int distinctPoints() const { return count_; }

private:
    struct Point {
        InkVertex given;           // position, radius and strength as given
        double along = 0.0;        // length of the given points' path up to here
        InkVertex drawn;           // placed position, filtered radius and strength
        double inX = 1.0, inY = 0.0;     // direction of the curve arriving here
        double outX = 1.0, outY = 0.0;   // and leaving (differs at a corner)
        bool corner = false;       // known once the point after it is in
        int straightFrom = 0;      // first point of the straight run that ends here
    };
    // How many points after a point its fit takes, at most (fewer beyond a
    // few pixels): the pieces to the newest this many points may be
    // provisional.
    static constexpr int kMostAhead = 12;
    static constexpr int kStraightPoints = 16;   // longest straight run a fit takes
    static constexpr int kKept = 64;             // points remembered, a ring
    static_assert(kStraightPoints + kMostAhead + 2 <= kKept, "a fit's points must all be remembered");

    Point& at(int index) { return points_[static_cast<std::size_t>(index % kKept)]; }
    const Point& at(int index) const { return points_[static_cast<std::size_t>(index % kKept)]; }
    void markCorner(int index);
    int straightRunTo(int last) const;
    int lastAhead(int index, int newest) const;
    bool mayLookFurther(int index, int newest) const;
    void settle(std::vector<Capsule>& settled);
    void place(int index, int newest);
    void fitWindow(int index, int newest, int& first, int& last) const;
    bool fitAround(int index, int first, int last, Vec& offset, Vec& slope) const;
    void filterWidth(int index, const Point& before);
    void startLikeSecond();
    void placeTail(bool lastTime);
    void appendTail(std::vector<Capsule>& out) const;
    void rebuildTail();
    void appendPiece(const Point& from, const Point& to, bool straightEnd, std::vector<Capsule>& out) const;

    std::array<Point, kKept> points_{};
    int count_ = 0;                       // distinct points so far
    int lastSettled_ = 0;                 // the newest point placed for good
    double flatness_ = 0.08;
    bool smooth_ = true;
    std::vector<Capsule> tail_;
};

} // namespace lplines
