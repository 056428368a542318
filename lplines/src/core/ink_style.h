// What the pen puts on the paper: colour, width, ink flow, tip, quality,
// and how a pressure becomes the width and strength of the ink at a point.
#pragma once

#include <cstdint>

namespace lplines {

constexpr float kMinPenWidth = 1.0f;
constexpr float kMaxPenWidth = 50.0f;
// Pressures above this are drawn as this (four times the nominal width).
constexpr float kMaxPressure = 4.0f;

// Quality: how the engine joins the points of a stroke.
//   0 or less: straight segments (draft, fastest);
//   1: smooth curves, flattened to within 0.25 px;
//   2 or more: smooth curves, flattened to within 0.08 px (the default).
constexpr int kDefaultQuality = 2;

struct InkStyle {
    std::uint32_t color = 0xFF000000u;   // 0xAARRGGBB
    float penWidth = 6.0f;               // 1 to 50
    float inkFlow = 1.0f;                // 0 to 1 is drawn; larger counts as 1
    int quality = kDefaultQuality;
    float tipHardness = 1.0f;            // 1 crisp, 0 soft felt tip
    bool pressureDoubled = false;        // pressures are doubled before use
};

// The pen tip at one point: its radius and how strongly it inks (1 full).
struct Tip {
    float radius = 0.0f;
    float strength = 0.0f;
};

// Width is pen width times pressure, but never below a small minimum: a
// thinner line would break up into dots, so below it the ink keeps the
// minimum width and fades instead. A stroke that ends with falling pressure
// thus tapers to a hairline and fades out smoothly.
Tip tipFor(const InkStyle& style, float pressure);

// The smallest width the engine draws, for a given pen width.
float minimumInkWidth(float penWidth);

// Diameter of the dot left by a stroke that never moved (a click): as wide
// as a line of the pen at full pressure, whatever pressure the click
// reported (a mouse click reports hardly any).
float dotWidth(float penWidth);

// The ink of one stroke, fixed when the stroke begins.
struct StrokeInk {
    std::uint32_t rgb = 0;      // colour without alpha
    float opacity = 1.0f;       // colour alpha times ink flow, 0 to 1
    float edgeWidth = 1.0f;     // width of the anti-aliased edge in pixels
    float softness = 0.0f;      // extra edge width per pixel of radius
    double flatness = 0.08;     // allowed distance of the drawn curve from the ideal one
    bool smooth = true;

    bool sameLookAs(const StrokeInk& other) const
    {
        return rgb == other.rgb && opacity == other.opacity && edgeWidth == other.edgeWidth
            && softness == other.softness;
    }
};

StrokeInk strokeInkFor(const InkStyle& style);

} // namespace lplines
