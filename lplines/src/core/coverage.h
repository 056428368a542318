// Where a stroke has inked, and what lay under it before.
//
// The canvas is cut into 32 x 32 tiles, made only where the stroke goes, so
// that the memory and work of a stroke follow its size, not the canvas's.
// A tile holds the stroke's settled coverage and, per pixel, the picture
// under the stroke on the engine's own surface and on the target, taken the
// first time the pixel is needed (see InkEngine).
#pragma once

#include "capsule_raster.h"
#include "pixels.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lplines {

constexpr int kTileShift = 5;
constexpr int kTileSize = 1 << kTileShift;
constexpr int kTileMask = kTileSize - 1;

struct Tile {
    std::array<std::uint8_t, kTileSize * kTileSize> coverage;
    std::array<std::uint32_t, kTileSize> ownHeld;      // bit x of row y: background taken
    std::array<std::uint32_t, kTileSize> targetHeld;
    std::array<std::uint32_t, kTileSize * kTileSize> ownBackground;
    std::array<std::uint32_t, kTileSize * kTileSize> targetBackground;

    void reset();
    static int index(int x, int y) { return ((y & kTileMask) << kTileShift) | (x & kTileMask); }
    static bool held(const std::array<std::uint32_t, kTileSize>& bits, int x, int y)
    {
        return (bits[static_cast<std::size_t>(y & kTileMask)] >> (x & kTileMask)) & 1u;
    }
    static void hold(std::array<std::uint32_t, kTileSize>& bits, int x, int y)
    {
        bits[static_cast<std::size_t>(y & kTileMask)] |= 1u << (x & kTileMask);
    }
};

class TileGrid : public CoverageSink {
public:
    // Drops every tile and sets the canvas size.
    void resize(int width, int height);
    // Drops every tile; their memory is kept for the next stroke.
    void clear();

    Tile* find(int x, int y) const;   // the tile holding pixel (x, y), if made
    Tile& obtain(int x, int y);
    void maxRow(int y, int x, int count, const std::uint8_t* values) override;

    // Tile cells in use, as tile column + tile row * columns().
    const std::vector<int>& usedCells() const { return usedCells_; }
    int columns() const { return columns_; }
    IntRect bounds() const { return {0, 0, width_, height_}; }

private:
    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::int32_t> slotOfCell_;          // -1: no tile
    std::vector<std::unique_ptr<Tile>> pool_;
    std::vector<int> usedCells_;
};

// Coverage of a small area, all of it in one block (the provisional tail).
class DenseCoverage : public CoverageSink {
public:
    void reset(const IntRect& area);
    const IntRect& area() const { return area_; }
    std::uint8_t at(int x, int y) const
    {
        if (!area_.contains(x, y))
            return 0;
        return values_[static_cast<std::size_t>(y - area_.top) * static_cast<std::size_t>(area_.width())
                       + static_cast<std::size_t>(x - area_.left)];
    }
    void maxRow(int y, int x, int count, const std::uint8_t* values) override;

private:
    IntRect area_;
    std::vector<std::uint8_t> values_;
};

} // namespace lplines
