// Rectangles of the canvas: the drawn rectangle the host reads back, and the
// areas that new ink may have changed (so that only they are copied to the
// window).
#pragma once

#include <array>
#include <cstddef>

namespace penwick {

// Left and top inside, right and bottom outside, like a Win32 RECT.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const IntRect& a, const IntRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const IntRect& a, const IntRect& b) { return !(a == b); }
};

// The smallest rectangle holding both; an empty one adds nothing.
IntRect united(const IntRect& a, const IntRect& b);
IntRect intersected(const IntRect& a, const IntRect& b);   // empty rects come out as all 0

// Grows the drawn rectangle by one processed point (client coordinates):
// the first point of a drawing starts it. Then keeps left and top at 0 or
// more and right and bottom within the client rectangle.
void extendDrawnRect(IntRect& drawnRect, bool drawn, int x, int y, const IntRect& clientRect);

// What GetCanvasDrawedRect reports: the drawn rectangle grown by the pen
// width on every side, each edge computed in floating point and truncated
// toward zero.
struct DrawnRectReport {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};
DrawnRectReport growDrawnRect(const IntRect& drawnRect, float penWidth);

// Float to int, truncated toward zero; NaN gives 0 and values beyond int's
// range the nearest int.
int truncateToInt(double value);

struct InkSpot {
    int x = 0;
    int y = 0;
    float pressure = 0.0f;
};

// Every pixel that ink through these points may touch: the ink engine draws
// smooth curves (which may bulge past the points' bounding box by a
// fraction of its size), as wide as pen width times pressure, with
// anti-aliased edges and a minimum dot size.
IntRect inkBounds(const InkSpot* spots, std::size_t count, float penWidth);

// The last points given to the engine in the current stroke. A new point
// makes the engine settle the pieces whose points no later point can move
// any more and redraw the provisional pieces from there to the new one:
// the last three points of a fast stroke, the points of the last eight
// pixels of a slow one (twelve at most). So the ink a point changes lies
// near the last five points, or near the points before the newest that lie
// within reach of the one before it, and the point before those.
class StrokeTrail {
public:
    static constexpr std::size_t kLength = 16;

    void restart() { count_ = 0; }
    // A point where the newest lies is the same point to the engine: it
    // replaces the newest, keeping the heavier pressure.
    void add(const InkSpot& spot);
    IntRect inkArea(float penWidth) const;

private:
    std::array<InkSpot, kLength> spots_{};   // oldest first
    std::size_t count_ = 0;
};

// The area of the offscreen surface changed since it was last copied to
// the window.
class DirtyArea {
public:
    void add(const IntRect& rect) { area_ = united(area_, rect); }
    bool isEmpty() const { return area_.isEmpty(); }
    // The area within `bounds`, forgotten as a whole.
    IntRect take(const IntRect& bounds);

private:
    IntRect area_;
};

} // namespace penwick
