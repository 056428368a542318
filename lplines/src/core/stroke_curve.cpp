#include "stroke_curve.h"

#include <algorithm>
#include <cmath>

namespace lplines {

namespace {

// Points closer than this are one point: the pen rested, maybe pressing
// harder.
constexpr double kSamePoint = 0.05;
constexpr int kMaxPiecesPerSegment = 256;
// Strength (ink's darkness, 0 to 1) a merged capsule may miss a joint's by.
constexpr double kEvenStrength = 0.01;

// A placed point stays this close to the given one: whole-pixel input is
// off by at most half a pixel across the line.
constexpr double kMostMoved = 0.49;
// The fit takes the points of the last few pixels of the stroke, no more
// than this many.
constexpr double kFitReach = 8.0;
constexpr int kFitPoints = 12;
constexpr int kFitFewest = 4;       // fast strokes: a few points, if this close
constexpr double kFitFarthest = 30.0;
// And the points of the next few pixels: on a slow stroke (a point a
// pixel) a few points are a few pixels, too little to even out the stair
// steps of a shallow line, while a fit that reaches farther ahead keeps
// more of the newest ink provisional. A fast stroke's points lie farther
// apart: its fit takes the next few points, if this close.
constexpr double kAheadReach = 8.0;
constexpr int kFewestAhead = 3;
// The newest few provisional points are placed again at every point; older
// ones wait as they were last placed until every point of their fit is in,
// so that a point costs a few fits however slowly the pen moves.
constexpr int kPlacedAgain = 3;
// A straight stretch: points that a straight line fits to within this (rms).
constexpr double kStraightSpread = 0.5;
// Points off a straight fit by more than this (rms) lie on a bend.
constexpr double kRoundingSpread = 0.3;
// A corner: the next point turns away from the path of the last two pixels
// by more than about 105 degrees (a rounding error turns a pixel step by 45
// at most).
constexpr double kCornerChord = 2.0;
constexpr double kCornerCosine = -0.25;

// The width follows a change in pressure over about this length, and never
// changes by more than kRadiusRate (or kRelativeRate of the radius, for
// wide pens) per pixel of length; it narrows faster, so that a pen that
// lifts tapers off.
constexpr double kWidthReach = 12.0;
constexpr double kLiftReach = 6.0;
constexpr double kRadiusRate = 0.1;
constexpr double kRelativeRate = 0.05;

using Vec = StrokeCurve::Vec;

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
// Coordinates come from floats (the entry points take them), so their
// squares cannot overflow a double: hypot's care would only cost time, a
// few dozen times a point.
double length(Vec a) { return std::sqrt(a.x * a.x + a.y * a.y); }
Vec position(const InkVertex& v) { return {v.x, v.y}; }

// The unit vector along `v`, or `otherwise` when it has no direction.
Vec unit(Vec v, Vec otherwise)
{
    const double l = length(v);
    return l > 1e-12 && std::isfinite(l) ? v * (1.0 / l) : otherwise;
}

// `v` mirrored about the line along the unit vector `axis`.
Vec reflected(Vec v, Vec axis)
{
    return axis * (2.0 * dot(v, axis)) - v;
}

// Whether one capsule from the start of pieces[first] to the end of
// pieces[last] draws them all: every joint between them lies, in order,
// within `tolerance` of its axis, where its width and strength would be.
bool joinsStraight(const std::vector<Capsule>& pieces, std::size_t first, std::size_t last, double tolerance)
{
    const InkVertex& from = pieces[first].from;
    const InkVertex& to = pieces[last].to;
    const Vec axis = position(to) - position(from);
    const double squared = dot(axis, axis);
    if (!(squared > 0.0))
        return false;
    double previous = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        const InkVertex& joint = pieces[i].to;
        const Vec offset = position(joint) - position(from);
        const double t = dot(offset, axis) / squared;
        const Vec across = offset - axis * t;
        if (!(t > previous && t < 1.0) || dot(across, across) > tolerance * tolerance
            || std::fabs(from.radius + (to.radius - from.radius) * t - joint.radius) > tolerance
            || std::fabs(from.strength + (to.strength - from.strength) * t - joint.strength) > kEvenStrength)
            return false;
        previous = t;
    }
    return true;
}

// Solves the weighted least-squares fit value(u) = a + b u (+ c u^2) of
// the sums s[k] = sum w u^k and t[k] = sum w u^k value. Returns false when
// the points do not determine it.
bool solveFit(const double s[5], const double t[3], bool quadratic, double& a, double& b)
{
    if (quadratic) {
        const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                         - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                         + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        if (!(std::fabs(det) > 1e-9 * s[0] * s[0] * s[0]))
            return false;
        a = (t[0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (t[1] * m[2][2] - m[1][2] * t[2])
             + m[0][2] * (t[1] * m[2][1] - m[1][1] * t[2])) / det;
        b = (m[0][0] * (t[1] * m[2][2] - m[1][2] * t[2]) - t[0] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
             + m[0][2] * (m[1][0] * t[2] - t[1] * m[2][0])) / det;
        return true;
    }
    const double det = s[0] * s[2] - s[1] * s[1];
    if (!(std::fabs(det) > 1e-9 * s[0] * s[0]))
        return false;
    a = (t[0] * s[2] - s[1] * t[1]) / det;
    b = (s[0] * t[1] - s[1] * t[0]) / det;
    return true;
}

// Turns runs of capsules that go on along one straight line (each joint
// within `tolerance` of the line from the run's start to its end, width and
// strength changing evenly along it) into one capsule each: the
// provisional ink of a slow stroke spans many short pieces, drawn again at
// every point.
void mergeStraightRuns(std::vector<Capsule>& pieces, double tolerance)
{
    std::size_t kept = 0;
    for (std::size_t first = 0; first < pieces.size();) {
        std::size_t last = first;
        while (last + 1 < pieces.size() && joinsStraight(pieces, first, last + 1, tolerance))
            ++last;
        pieces[kept++] = {pieces[first].from, pieces[last].to};
        first = last + 1;
    }
    pieces.resize(kept);
}

} // namespace

void StrokeCurve::restart(double flatness, bool smooth)
{
    count_ = 0;
    lastSettled_ = 0;
    flatness_ = flatness;
    smooth_ = smooth;
    tail_.clear();
}

void StrokeCurve::continueFrom(const StrokeCurve& other)
{
    points_ = other.points_;
    count_ = other.count_;
    lastSettled_ = other.lastSettled_;
    tail_.clear();
}

bool StrokeCurve::endsAt(double x, double y) const
{
    if (count_ == 0)
        return false;
    const InkVertex& last = at(count_ - 1).given;
    return std::hypot(x - last.x, y - last.y) < kSamePoint;
}

void StrokeCurve::add(const InkVertex& point, std::vector<Capsule>& settled)
{
    if (count_ > 0) {
        Point& last = at(count_ - 1);
        if (length(position(point) - position(last.given)) < kSamePoint) {
            last.given.radius = point.radius;
            last.given.strength = point.strength;
            if (count_ == 1) {
                last.drawn = last.given;
                settled.push_back({last.drawn, last.drawn});
            } else {
                rebuildTail();
            }
            return;
        }
    }
    const int n = count_++;
    Point& p = at(n);
    p = Point{};
    p.given = point;
    p.drawn = point;
    p.straightFrom = n;
    if (n == 0) {
        settled.push_back({point, point});
        tail_.clear();
        return;
    }
    p.along = at(n - 1).along + length(position(point) - position(at(n - 1).given));
    // The new point tells whether the one before it is a corner, and how
    // far back the points run straight to it.
    if (n >= 2)
        markCorner(n - 1);
    p.straightFrom = straightRunTo(n);
    settle(settled);
    rebuildTail();
}

// Places for good, and appends the pieces to, every point whose fit has
// all its points now.
void StrokeCurve::settle(std::vector<Capsule>& settled)
{
    const int newest = count_ - 1;
    while (lastSettled_ + 1 < newest) {
        const int index = lastSettled_ + 1;
        if (!at(index).corner && mayLookFurther(index, newest))
            break;   // a later point may still join its fit
        lastSettled_ = index;
        place(index, newest);
        filterWidth(index, at(index - 1));
        if (index == 1)
            startLikeSecond();
        appendPiece(at(index - 1), at(index), false, settled);
    }
}

// The curve starts as if mirrored: it leaves its first point the way it
// arrives at the second (straight on while there is no second yet).
void StrokeCurve::startLikeSecond()
{
    Point& first = at(0);
    const Point& second = at(1);
    const Vec chord = unit(position(second.drawn) - position(first.drawn), {1.0, 0.0});
    const Vec out = count_ > 2 ? reflected({second.inX, second.inY}, chord) : chord;
    first.outX = out.x;
    first.outY = out.y;
}

// The stroke ends: no more points will come, so every provisional point is
// placed with all the points its fit will ever have, and the pieces to
// them are drawn as they are, not merged.
void StrokeCurve::finish(std::vector<Capsule>& settled)
{
    tail_.clear();
    if (count_ < 2)
        return;
    placeTail(true);
    appendTail(settled);
}

// A corner: the point after `index` turns away from the path of the last
// two pixels by more than about 105 degrees. A corner stays where it was
// given, and the curve turns sharply there.
void StrokeCurve::markCorner(int index)
{
    Point& p = at(index);
    const Vec here = position(p.given);
    int j = index - 1;
    while (j > 0 && index - j < kFitPoints && !at(j).corner && length(here - position(at(j).given)) < kCornerChord)
        --j;
    const Vec in = here - position(at(j).given);
    const Vec out = position(at(index + 1).given) - here;
    if (length(in) < 1.0 || length(out) < 1.0 || dot(in, out) > kCornerCosine * length(in) * length(out))
        return;
    p.corner = true;
    const Vec inward = unit(in, {1.0, 0.0});
    const Vec outward = unit(out, inward);
    p.inX = inward.x;
    p.inY = inward.y;
    p.outX = outward.x;
    p.outY = outward.y;
}

// Places point `index` (given up to point `newest`): a corner stays where
// it was given; any other point goes where a fit to its neighbours puts it,
// at most kMostMoved away.
void StrokeCurve::place(int index, int newest)
{
    Point& p = at(index);
    p.drawn.x = p.given.x;
    p.drawn.y = p.given.y;
    if (p.corner)
        return;
    int first = 0, last = 0;
    fitWindow(index, newest, first, last);
    const Vec chord = unit(position(at(last).given) - position(at(index - 1).given), {at(index - 1).outX, at(index - 1).outY});
    Vec offset{0.0, 0.0};
    Vec slope = chord;
    if (fitAround(index, first, last, offset, slope)) {
        const double moved = length(offset);
        if (!(moved <= kMostMoved))
            offset = moved > 0.0 && std::isfinite(moved) ? offset * (kMostMoved / moved) : Vec{0.0, 0.0};
    } else {
        offset = {0.0, 0.0};
        slope = chord;
    }
    p.drawn.x += offset.x;
    p.drawn.y += offset.y;
    const Vec direction = unit(slope, chord);
    p.inX = p.outX = direction.x;
    p.inY = p.outY = direction.y;
}

// The last point a fit for point `index` takes (given up to `newest`): the
// next always, more while they lie within kAheadReach (the first few of a
// fast stroke within kFitFarthest), up to kMostAhead, never beyond a corner.
int StrokeCurve::lastAhead(int index, int newest) const
{
    const double along = at(index).along;
    int last = std::min(index + 1, newest);
    while (last < newest && last - index < kMostAhead && !at(last).corner) {
        const double ahead = at(last + 1).along - along;
        if (!(ahead <= kAheadReach || (last - index < kFewestAhead && ahead <= kFitFarthest)))
            break;
        ++last;
    }
    return last;
}

// Whether a point after `newest` could still join the fit for point
// `index`: the fit takes every point up to the newest, and the next one
// would lie within its reach (a later point lies at least kSamePoint
// farther along).
bool StrokeCurve::mayLookFurther(int index, int newest) const
{
    if (lastAhead(index, newest) != newest || newest - index >= kMostAhead)
        return false;
    const double ahead = at(newest).along + kSamePoint - at(index).along;
    return ahead <= kAheadReach || (newest - index < kFewestAhead && ahead <= kFitFarthest);
}

// The points a fit for point `index` takes: the one before always, more
// while they are near (a few, for fast strokes) or on a straight stretch,
// never beyond a corner; and those after it (lastAhead).
void StrokeCurve::fitWindow(int index, int newest, int& first, int& last) const
{
    const double along = at(index).along;
    first = index - 1;
    while (first > 0 && index - first < kFitPoints && !at(first).corner
           && (along - at(first - 1).along <= kFitReach
               || (index - first < kFitFewest && along - at(first - 1).along <= kFitFarthest)))
        --first;
    last = lastAhead(index, newest);
    const int straight = std::max(at(last).straightFrom, index - kStraightPoints);
    if (straight < index)
        first = std::min(first, straight);
}

// A weighted fit of the points `first` to `last`, in the length along the
// stroke, evaluated at point `index`: where it puts the point (an offset
// from where it was given) and the direction there. A straight fit smooths
// best; where the points stray from it by more than rounding explains, the
// path bends, and a parabola follows it.
bool StrokeCurve::fitAround(int index, int first, int last, Vec& offset, Vec& slope) const
{
    const Point& p = at(index);
    double reach = kFitReach;
    for (int j = first; j <= last; ++j)
        reach = std::max(reach, std::fabs(at(j).along - p.along));
    reach *= 1.25;   // every point of the window weighs something

    double s[5] = {0, 0, 0, 0, 0}, tx[3] = {0, 0, 0}, ty[3] = {0, 0, 0}, squares = 0.0;
    for (int j = first; j <= last; ++j) {
        const Point& q = at(j);
        const double u = (q.along - p.along) / reach;
        const double w = (1.0 - u * u) * (1.0 - u * u);
        const double dx = q.given.x - p.given.x, dy = q.given.y - p.given.y;
        squares += w * (dx * dx + dy * dy);
        double power = w;
        for (int k = 0; k < 5; ++k) {
            s[k] += power;
            if (k < 3) {
                tx[k] += power * dx;
                ty[k] += power * dy;
            }
            power *= u;
        }
    }
    if (!solveFit(s, tx, false, offset.x, slope.x) || !solveFit(s, ty, false, offset.y, slope.y))
        return false;
    const double residual = squares - 2.0 * (offset.x * tx[0] + slope.x * tx[1] + offset.y * ty[0] + slope.y * ty[1])
                          + (offset.x * offset.x + offset.y * offset.y) * s[0]
                          + 2.0 * (offset.x * slope.x + offset.y * slope.y) * s[1]
                          + (slope.x * slope.x + slope.y * slope.y) * s[2];
    if (last - first >= 2 && residual > kRoundingSpread * kRoundingSpread * s[0]) {
        Vec bentOffset, bentSlope;
        if (solveFit(s, tx, true, bentOffset.x, bentSlope.x) && solveFit(s, ty, true, bentOffset.y, bentSlope.y)) {
            offset = bentOffset;
            slope = bentSlope;
        }
    }
    return true;
}

// How far back from point `last` the points lie along a straight line, to
// within rounding: along a straight stretch a fit may take many points,
// which evens out the stair steps of a slow, shallow line.
int StrokeCurve::straightRunTo(int last) const
{
    struct Sums {
        double n = 0, u = 0, uu = 0, x = 0, ux = 0, xx = 0, y = 0, uy = 0, yy = 0;
        void take(const Point& q, const Point& p)
        {
            const double t = q.along - p.along, dx = q.given.x - p.given.x, dy = q.given.y - p.given.y;
            n += 1;
            u += t;
            uu += t * t;
            x += dx;
            ux += t * dx;
            xx += dx * dx;
            y += dy;
            uy += t * dy;
            yy += dy * dy;
        }
        // Mean square distance of the points from their straight fit.
        double spread() const
        {
            const double det = n * uu - u * u;
            if (!(det > 0.0))
                return 0.0;
            const double bx = (n * ux - u * x) / det, ax = (x - bx * u) / n;
            const double by = (n * uy - u * y) / det, ay = (y - by * u) / n;
            return (xx - ax * x - bx * ux + yy - ay * y - by * uy) / n;
        }
    };
    const Point& p = at(last);
    if (at(last - 1).corner)
        return last - 1;
    const int farthest = std::max(0, last - kStraightPoints - kMostAhead);
    // Mostly the run to the point before goes on to this one: try that
    // first, and grow from this point alone only when it does not.
    Sums sums;
    int first = std::max(at(last - 1).straightFrom, farthest);
    for (int j = first; j <= last; ++j)
        sums.take(at(j), p);
    if (!(sums.spread() <= kStraightSpread * kStraightSpread)) {
        sums = Sums{};
        sums.take(at(last - 1), p);
        sums.take(p, p);
        first = last - 1;
    }
    while (first > farthest && !at(first).corner) {
        Sums wider = sums;
        wider.take(at(first - 1), p);
        if (!(wider.spread() <= kStraightSpread * kStraightSpread))
            break;
        sums = wider;
        --first;
    }
    return first;
}

void StrokeCurve::filterWidth(int index, const Point& before)
{
    Point& p = at(index);
    const double step = length(position(p.drawn) - position(before.drawn));
    const double radius = before.drawn.radius;
    const double wanted = p.given.radius;
    const double reach = std::max(wanted < radius ? kLiftReach : kWidthReach, 4.0 * radius);
    const double share = 1.0 - std::exp(-step / reach);
    const double most = std::max(kRadiusRate, kRelativeRate * radius) * step;
    const double change = std::clamp(share * (wanted - radius), -most, most);
    p.drawn.radius = static_cast<float>(radius + change);
    p.drawn.strength = static_cast<float>(before.drawn.strength + share * (p.given.strength - before.drawn.strength));
}

void StrokeCurve::rebuildTail()
{
    tail_.clear();
    if (count_ < 2)
        return;
    placeTail(false);
    appendTail(tail_);
    mergeStraightRuns(tail_, flatness_);
}

// Places the provisional points: the newest where it was given, the few
// before it by their fits so far, older ones as they were last placed,
// unless this is the last time (the stroke ends).
void StrokeCurve::placeTail(bool lastTime)
{
    const int newest = count_ - 1;
    for (int j = lastSettled_ + 1; j <= newest; ++j) {
        Point& q = at(j);
        if (j == newest) {
            // The ink reaches the newest point itself, arriving as the piece
            // to it would end a stroke: the pen's tip is never behind.
            q.drawn.x = q.given.x;
            q.drawn.y = q.given.y;
        } else if (lastTime || newest - j <= kPlacedAgain) {
            place(j, newest);
        }
        filterWidth(j, at(j - 1));
        if (j == 1)
            startLikeSecond();
    }
}

void StrokeCurve::appendTail(std::vector<Capsule>& out) const
{
    const int newest = count_ - 1;
    for (int j = lastSettled_ + 1; j <= newest; ++j)
        appendPiece(at(j - 1), at(j), j == newest, out);
}

void StrokeCurve::appendPiece(const Point& fromPoint, const Point& toPoint, bool straightEnd,
                              std::vector<Capsule>& out) const
{
    const InkVertex& from = fromPoint.drawn;
    const InkVertex& to = toPoint.drawn;
    if (!smooth_) {
        out.push_back({from, to});
        return;
    }
    const Vec p1 = position(from), p2 = position(to);
    const double chordLength = length(p2 - p1);
    const Vec leaving{fromPoint.outX, fromPoint.outY};
    // The provisional end arrives as it would end a stroke: the mirror
    // image of how the piece leaves.
    const Vec arriving = straightEnd ? reflected(leaving, unit(p2 - p1, leaving)) : Vec{toPoint.inX, toPoint.inY};
    const Vec c1 = p1 + leaving * (chordLength / 3.0);
    const Vec c2 = p2 - arriving * (chordLength / 3.0);

    // Enough pieces that no chord strays more than the flatness from the
    // curve, and that the width changes gently from piece to piece.
    const double bend = std::max(length(p1 - c1 * 2.0 + c2), length(c1 - c2 * 2.0 + p2));
    const double deltaR = static_cast<double>(to.radius) - from.radius;
    double wanted = std::max(std::ceil(std::sqrt(0.75 * bend / flatness_)), std::ceil(std::fabs(deltaR) / 1.5));
    if (!(wanted >= 1.0))
        wanted = 1.0;
    const int pieces = static_cast<int>(std::min<double>(wanted, kMaxPiecesPerSegment));

    // Width and strength change evenly along the length of the curve.
    std::array<Vec, kMaxPiecesPerSegment + 1> along;
    std::array<double, kMaxPiecesPerSegment + 1> walked;
    along[0] = p1;
    walked[0] = 0.0;
    for (int i = 1; i <= pieces; ++i) {
        const double t = static_cast<double>(i) / pieces;
        const double u = 1.0 - t;
        along[static_cast<std::size_t>(i)] = i == pieces ? p2 : p1 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p2 * (t * t * t);
        walked[static_cast<std::size_t>(i)] = walked[static_cast<std::size_t>(i - 1)]
            + length(along[static_cast<std::size_t>(i)] - along[static_cast<std::size_t>(i - 1)]);
    }
    const double total = walked[static_cast<std::size_t>(pieces)];
    InkVertex previous = from;
    for (int i = 1; i <= pieces; ++i) {
        InkVertex v = to;
        if (i < pieces) {
            const double share = total > 0.0 && std::isfinite(total) ? walked[static_cast<std::size_t>(i)] / total
                                                                      : static_cast<double>(i) / pieces;
            v.x = along[static_cast<std::size_t>(i)].x;
            v.y = along[static_cast<std::size_t>(i)].y;
            v.radius = static_cast<float>(from.radius + deltaR * share);
            v.strength = static_cast<float>(from.strength + (to.strength - from.strength) * share);
        }
        out.push_back({previous, v});
        previous = v;
    }
}

} // namespace lplines
