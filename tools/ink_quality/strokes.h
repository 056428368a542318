// Real-looking pen input: strokes as a hand moves a mouse or a tablet pen,
// sampled in time, at exact (sub-pixel) positions.
#pragma once

#include <string>
#include <vector>

namespace inkq {

struct Sample {
    double ms;
    double x;
    double y;
    float pressure;   // a tablet's; mouse strokes get theirs from the canvas library
};

struct Stroke {
    std::vector<Sample> samples;
};

enum class Device { mouse, tablet };

struct Drawing {
    std::string name;
    Device device = Device::mouse;
    std::vector<Stroke> strokes;
};

// A polyline path drawn at a speed that slows in tight turns (as hands do:
// speed grows with the cube root of the radius of the turn), easing in and
// out, sampled every `periodMs`.
Stroke drawPath(const std::vector<std::pair<double, double>>& path, double fastest, double periodMs);

// Words in a Hershey font of `fontDir` (e.g. "cursive" for handwriting),
// `height` pixels from the base line to the top of a capital, from (x, y) on
// the base line, drawn at `fastest` px/s. No strokes when the font cannot
// be read.
Drawing lettering(const std::string& fontDir, const std::string& font, const std::string& words, double x, double y,
                  double height, double fastest);

// The strokes the measurements use: a signature (in `fontDir`'s cursive), a
// fast underline, small loops, a zig-zag, a slow slanted line, a click and
// two tablet strokes.
std::vector<Drawing> measuredDrawings(const std::string& fontDir);

// The same drawing moved by (dx, dy).
Drawing moved(Drawing drawing, double dx, double dy);

} // namespace inkq
