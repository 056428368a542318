#include "tablet_mapping.h"

#include "geometry.h"

namespace penwick {

ScreenPoint tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                           std::int32_t extentY, int screenWidth, int screenHeight)
{
    const float tabletX = static_cast<float>(pkX + 0.5);
    const float tabletY = static_cast<float>(pkY + 0.5);
    const float x = tabletX / static_cast<float>(extentX) * static_cast<float>(screenWidth);
    const float y = (1.0f - tabletY / static_cast<float>(extentY)) * static_cast<float>(screenHeight);
    return {truncateToInt(x), truncateToInt(y)};
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
