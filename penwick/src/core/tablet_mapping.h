// From Wintab packet values to screen pixels, pressure and point kind.
#pragma once

#include "ink_point.h"

#include <cstdint>
#include <optional>

namespace penwick {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The virtual screen: the rectangle around every monitor, in the screen
// coordinates of the primary one. Monitors left of or above the primary
// give it a negative origin.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The tablet's input area stretched over the virtual screen. The tablet's
// y axis runs upward, the screen's downward. None when the context reports
// an input extent that is not positive (a misbehaving driver): such a
// packet has no position.
std::optional<ScreenPoint> tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                                          std::int32_t extentY, const ScreenArea& screen);

// The range of the pen's normal pressure, as the driver describes its
// device (Wintab's AXIS: axMin, axMax).
struct PressureAxis {
    std::int32_t min = 0;
    std::int32_t max = 0;
};

// How a packet's raw pressure becomes the engine's: the top of the pen's
// range reads as 1.0, whatever its number of levels. Without a usable range
// the pen is taken for one of 1024 levels (0 to 1023), the engine's own
// scale; a pen reporting more than that then goes beyond 1.0.
struct PressureScale {
    std::uint32_t floor = 0;
    float span = 1023.0f;
};

// The scale for the range the driver reports; none, or one that is empty,
// inverted or below zero, gives the 1024-level scale.
PressureScale pressureScaleFor(const std::optional<PressureAxis>& axis);

// Raw pressure at or below the range's floor reads 0; above its top, more
// than 1.0 (never wrapped, never negative).
float tabletPressure(std::uint32_t normalPressure, const PressureScale& scale);

// Any pressed button counts: pen down after no buttons, then moves, and pen
// up when the buttons are released; with no buttons before or now the pen
// hovers (a move that no open stroke takes).
InkKind tabletPointKind(std::uint32_t previousButtons, std::uint32_t buttons);

} // namespace penwick
