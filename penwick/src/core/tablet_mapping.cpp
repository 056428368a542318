#include "tablet_mapping.h"

#include "geometry.h"

namespace penwick {

std::optional<ScreenPoint> tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                                          std::int32_t extentY, int screenWidth, int screenHeight)
{
    if (extentX <= 0 || extentY <= 0)
        return std::nullopt;
    // The half-unit offset is taken in single precision, as the position
    // has always been computed.
    const float tabletX = static_cast<float>(pkX + 0.5);
    const float tabletY = static_cast<float>(pkY + 0.5);
    const float x = tabletX / static_cast<float>(extentX) * static_cast<float>(screenWidth);
    const float y = (1.0f - tabletY / static_cast<float>(extentY)) * static_cast<float>(screenHeight);
    return ScreenPoint{truncateToInt(x), truncateToInt(y)};
}

float tabletPressure(std::uint32_t normalPressure)
{
    return static_cast<float>(normalPressure) / kTabletPressureDivisor;
}

InkKind tabletPointKind(std::uint32_t previousButtons, std::uint32_t buttons)
{
    if (previousButtons != 0)
        return buttons != 0 ? InkKind::move : InkKind::penUp;
    return buttons != 0 ? InkKind::penDown : InkKind::move;
}

} // namespace penwick
