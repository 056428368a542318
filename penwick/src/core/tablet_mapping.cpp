#include "tablet_mapping.h"

#include "geometry.h"

namespace penwick {

namespace {

// The origin is added to the truncated offset, so that every pixel of the
// virtual screen, left of the primary monitor too, gets the same share of
// the tablet; clamped rather than wrapped beyond int's range.
int offsetBy(int origin, int offset)
{
    return truncateToInt(static_cast<double>(origin) + static_cast<double>(offset));
}

} // namespace

std::optional<ScreenPoint> tabletToScreen(std::int32_t pkX, std::int32_t pkY, std::int32_t extentX,
                                          std::int32_t extentY, const ScreenArea& screen)
{
    if (extentX <= 0 || extentY <= 0)
        return std::nullopt;
    // The half-unit offset is taken in single precision, as the position
    // has always been computed.
    const float tabletX = static_cast<float>(pkX + 0.5);
    const float tabletY = static_cast<float>(pkY + 0.5);
    const float x = tabletX / static_cast<float>(extentX) * static_cast<float>(screen.width);
    const float y = (1.0f - tabletY / static_cast<float>(extentY)) * static_cast<float>(screen.height);
    return ScreenPoint{offsetBy(screen.left, truncateToInt(x)), offsetBy(screen.top, truncateToInt(y))};
}

PressureScale pressureScaleFor(const std::optional<PressureAxis>& axis)
{
    if (!axis || axis->min < 0 || axis->max <= axis->min)
        return {};
    const auto floor = static_cast<std::uint32_t>(axis->min);
    return {floor, static_cast<float>(static_cast<std::uint32_t>(axis->max) - floor)};
}

float tabletPressure(std::uint32_t normalPressure, const PressureScale& scale)
{
    if (normalPressure <= scale.floor)
        return 0.0f;
    // Divided in single precision: a 1024-level pen keeps the very numbers
    // it has always had.
    return static_cast<float>(normalPressure - scale.floor) / scale.span;
}

InkKind tabletPointKind(std::uint32_t previousButtons, std::uint32_t buttons)
{
    if (previousButtons != 0)
        return buttons != 0 ? InkKind::move : InkKind::penUp;
    return buttons != 0 ? InkKind::penDown : InkKind::move;
}

} // namespace penwick
