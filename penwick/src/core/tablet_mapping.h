// From Wintab packet values to screen pixels, pressure and point kind.
#pragma once

#include "ink_point.h"

#include <cstdint>

namespace penwick {

constexpr float kTabletPressureDivisor = 1023.0f;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The tablet's y axis runs upward, the screen's downward. The virtual
// screen's origin is not added.
ScreenPoint tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                           std::int32_t extentY, int screenWidth, int screenHeight);

float tabletPressure(std::uint32_t normalPressure);

// Any pressed button counts: pen down after no buttons, then moves, and pen
// up when the buttons are released; with no buttons before or now the pen
// hovers (a move that no open stroke takes).
InkKind tabletPointKind(std::uint32_t previousButtons, std::uint32_t buttons);

} // namespace penwick
