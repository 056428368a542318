#include "coverage.h"

#include <algorithm>

namespace lplines {

void Tile::reset()
{
    coverage.fill(0);
    ownHeld.fill(0);
    targetHeld.fill(0);
}

void TileGrid::resize(int width, int height)
{
    clear();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kTileMask) >> kTileShift;
    rows_ = (height_ + kTileMask) >> kTileShift;
    slotOfCell_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), -1);
}

void TileGrid::clear()
{
    for (int cell : usedCells_)
        slotOfCell_[static_cast<std::size_t>(cell)] = -1;
    usedCells_.clear();
}

Tile* TileGrid::find(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return nullptr;
    const int cell = (y >> kTileShift) * columns_ + (x >> kTileShift);
    const std::int32_t slot = slotOfCell_[static_cast<std::size_t>(cell)];
    return slot < 0 ? nullptr : pool_[static_cast<std::size_t>(slot)].get();
}

Tile& TileGrid::obtain(int x, int y)
{
    if (Tile* tile = find(x, y))
        return *tile;
    const int cell = (y >> kTileShift) * columns_ + (x >> kTileShift);
    const auto slot = usedCells_.size();
    if (slot == pool_.size())
        pool_.push_back(std::make_unique<Tile>());
    Tile& tile = *pool_[slot];
    tile.reset();
    slotOfCell_[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(slot);
    usedCells_.push_back(cell);
    return tile;
}

void TileGrid::maxRow(int y, int x, int count, const std::uint8_t* values)
{
    while (count > 0) {
        const int run = std::min(count, kTileSize - (x & kTileMask));
        Tile& tile = obtain(x, y);
        std::uint8_t* out = &tile.coverage[static_cast<std::size_t>(Tile::index(x, y))];
        for (int i = 0; i < run; ++i)
            out[i] = std::max(out[i], values[i]);
        x += run;
        values += run;
        count -= run;
    }
}

void DenseCoverage::reset(const IntRect& area)
{
    area_ = area.empty() ? IntRect{} : area;
    values_.assign(static_cast<std::size_t>(area_.area()), 0);
}

void DenseCoverage::maxRow(int y, int x, int count, const std::uint8_t* values)
{
    if (y < area_.top || y >= area_.bottom)
        return;
    const int from = std::max(x, area_.left);
    const int to = std::min(x + count, area_.right);
    std::uint8_t* out = values_.data()
                      + static_cast<std::size_t>(y - area_.top) * static_cast<std::size_t>(area_.width());
    for (int i = from; i < to; ++i) {
        std::uint8_t& v = out[i - area_.left];
        v = std::max(v, values[i - x]);
    }
}

} // namespace lplines
