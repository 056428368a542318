// From Wintab packet values to screen pixels, pressure and point kind.
#pragma once

#include "ink_point.h"

#include <cstdint>
#include <optional>

namespace penwick {

// Whatever range the tablet reports, 1023 reads as full pressure; a tablet
// with 2048 levels thus reaches about 2.0.
constexpr float kTabletPressureDivisor = 1023.0f;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The tablet's input area stretched over the virtual screen's size. The
// tablet's y axis runs upward, the screen's downward; the virtual screen's
// origin is not added. None when the context reports an input extent that
// is not positive (a misbehaving driver): such a packet has no position.
std::optional<ScreenPoint> tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                                          std::int32_t extentY, int screenWidth, int screenHeight);

float tabletPressure(std::uint32_t normalPressure);

// Any pressed button counts: pen down after no buttons, then moves, and pen
// up when the buttons are released; with no buttons before or now the pen
// hovers (a move that no open stroke takes).
InkKind tabletPointKind(std::uint32_t previousButtons, std::uint32_t buttons);

} // namespace penwick
