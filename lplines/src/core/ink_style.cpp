#include "ink_style.h"

#include <algorithm>
#include <cmath>

namespace lplines {

namespace {

float clampUnit(float value)
{
    if (!(value > 0.0f))   // also catches NaN
        return 0.0f;
    return std::min(value, 1.0f);
}

// How faint the thinnest ink may get before it vanishes altogether.
constexpr float kFaintestInk = 0.3f;

} // namespace

float minimumInkWidth(float penWidth)
{
    return std::clamp(0.2f * penWidth, 1.0f, 2.5f);
}

float dotWidth(float penWidth)
{
    // A hair more than the pen: the soft rim of a small disc carries a
    // little less ink across its middle than a line's straight edges do.
    return penWidth + 0.1f;
}

Tip tipFor(const InkStyle& style, float pressure)
{
    float p = pressure > 0.0f ? pressure : 0.0f;   // NaN counts as no pressure
    if (style.pressureDoubled)
        p *= 2.0f;
    p = std::min(p, kMaxPressure);                 // so does infinity as the most
    const float width = style.penWidth * p;
    const float minimum = minimumInkWidth(style.penWidth);
    if (width >= minimum)
        return {0.5f * width, 1.0f};
    const float share = width / minimum;
    return {0.5f * minimum, kFaintestInk + (1.0f - kFaintestInk) * share};
}

StrokeInk strokeInkFor(const InkStyle& style)
{
    StrokeInk ink;
    ink.rgb = style.color & 0x00FFFFFFu;
    ink.opacity = static_cast<float>((style.color >> 24) & 0xFFu) / 255.0f * clampUnit(style.inkFlow);
    const float softness = 1.0f - clampUnit(style.tipHardness);
    ink.edgeWidth = 1.0f;
    ink.softness = 0.8f * softness;
    ink.smooth = style.quality > 0;
    ink.flatness = style.quality >= 2 ? 0.08 : 0.25;
    return ink;
}

} // namespace lplines
