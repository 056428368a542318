#include "ink_engine.h"

#include <algorithm>
#include <cmath>

namespace lplines {

namespace {

// The settled and provisional ink of one stroke within one tile.
struct InkSource {
    const Tile* tile = nullptr;
    const DenseCoverage* tail = nullptr;

    std::uint8_t at(int x, int y) const
    {
        const std::uint8_t settled = tile ? tile->coverage[static_cast<std::size_t>(Tile::index(x, y))] : 0;
        return std::max(settled, tail ? tail->at(x, y) : std::uint8_t{0});
    }
};

IntRect tileRect(int cell, int columns)
{
    const int x = (cell % columns) << kTileShift;
    const int y = (cell / columns) << kTileShift;
    return {x, y, x + kTileSize, y + kTileSize};
}

// Calls visit(block) for the part of `area` in each tile it touches.
template <typename Visit>
void forEachTileBlock(const IntRect& area, Visit&& visit)
{
    for (int ty = area.top & ~kTileMask; ty < area.bottom; ty += kTileSize)
        for (int tx = area.left & ~kTileMask; tx < area.right; tx += kTileSize)
            visit(area.intersected({tx, ty, tx + kTileSize, ty + kTileSize}));
}

} // namespace

InkEngine::InkEngine(Workshop& workshop) : workshop_(workshop), id_(workshop.join(this)) {}

InkEngine::~InkEngine()
{
    releaseNested();
    workshop_.leave(this);
}

bool InkEngine::setPenWidth(float width)
{
    if (!(width >= kMinPenWidth && width <= kMaxPenWidth))
        return false;
    style_.penWidth = width;
    return true;
}

bool InkEngine::setInkFlow(float flow)
{
    if (!(flow >= 0.0f) || !std::isfinite(flow))
        return false;
    style_.inkFlow = flow;
    return true;
}

bool InkEngine::setTipHardness(float hardness)
{
    if (!(hardness >= 0.0f && hardness <= 1.0f))
        return false;
    style_.tipHardness = hardness;
    return true;
}

void InkEngine::setSurface(const PixelView& surface)
{
    // Whatever lay under the stroke is gone with the old surface; the
    // stroke itself goes on from its last point.
    forgetBackgrounds();
    surface_ = surface;
    tiles_.resize(surface.empty() ? 0 : surface.width, surface.empty() ? 0 : surface.height);
}

void InkEngine::clearSurface()
{
    fillPixels(surface_, surface_.bounds(), kWhite);
    forgetBackgrounds();
}

void InkEngine::beginStroke()
{
    if (open_)
        endStroke(nullptr);
    discardStroke();
    open_ = true;
    strokeSerial_ = workshop_.nextSerial();
    ink_ = strokeInkFor(style_);
    mixer_.set(ink_.rgb, ink_.opacity);
    curve_.restart(ink_.flatness, ink_.smooth);
    targetId_ = 0;
    targetSerial_ = 0;
    recordedInStroke_ = false;
}

// Drops the stroke's ink and what lay under it, and its ties to other
// strokes on the same target.
void InkEngine::forgetBackgrounds()
{
    releaseNested();
    hostId_ = 0;
    hadNested_ = false;
    tiles_.clear();
    tail_.reset({});
}

void InkEngine::discardStroke()
{
    forgetBackgrounds();
    strokeSerial_ = 0;
    hostStroke_ = 0;
}

Status InkEngine::lineTo(double x, double y, float pressure, std::uint32_t time, TargetSurface* target)
{
    if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(pressure))
        return Status::badArgument;
    if (!open_)
        beginStroke();

    Status status = Status::ok;
    if (path_.size() < kMaxPathPoints) {
        path_.push_back({static_cast<float>(x), static_cast<float>(y), pressure, time,
                         recordedInStroke_ ? 0u : kPathBegin});
        recordedInStroke_ = true;
    } else {
        status = Status::pathFull;
    }

    bindTarget(target);
    const Tip tip = tipFor(style_, pressure);
    const InkVertex point{x, y, tip.radius, tip.strength};
    if (curve_.distinctPoints() == 0)
        startCurve(point);
    widestTip_ = std::max(widestTip_, tip.radius);
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);

    IntRect dirty = tail_.area();
    pieces_.clear();
    curve_.add(point, pieces_);
    drawSettled(dirty);
    rebuildTail(dirty);
    composeOwn(dirty, true);
    if (target)
        composeTarget(dirty, *target, true);
    return status;
}

// A preview that starts where the stroke it is nested in ends goes on with
// that stroke's shape: it joins it without a seam and draws what the
// stroke will draw when its points arrive.
void InkEngine::startCurve(const InkVertex& point)
{
    const InkEngine* h = host();
    if (h && h->curve_.endsAt(point.x, point.y)) {
        curve_.continueFrom(h->curve_);
        minX_ = h->minX_;
        maxX_ = h->maxX_;
        minY_ = h->minY_;
        maxY_ = h->maxY_;
        return;
    }
    minX_ = maxX_ = point.x;
    minY_ = maxY_ = point.y;
    widestTip_ = 0.0f;
}

void InkEngine::endStroke(TargetSurface* target)
{
    if (!open_)
        return;
    bindTarget(target);
    IntRect dirty = tail_.area();
    pieces_.clear();
    curve_.finish(pieces_);
    tail_.reset({});
    // A stroke that stays within the pen's width (a click, the dot over an
    // i) is a dot to the eye: round, on the middle of its points, as wide
    // as a line of the pen or as the hardest press. A preview never ends a
    // stroke, so it draws none.
    const double dotReach = std::max(1.0, static_cast<double>(style_.penWidth));
    const bool dotLike = maxX_ - minX_ <= dotReach && maxY_ - minY_ <= dotReach && host() == nullptr;
    if (curve_.distinctPoints() > 0 && dotLike) {
        InkVertex dot;
        dot.x = 0.5 * (minX_ + maxX_);
        dot.y = 0.5 * (minY_ + maxY_);
        dot.radius = std::max(widestTip_, 0.5f * dotWidth(style_.penWidth));
        dot.strength = 1.0f;
        pieces_.push_back({dot, dot});
    }
    drawSettled(dirty);
    composeOwn(dirty, true);
    if (target)
        composeTarget(dirty, *target, true);
    if (hadNested_)
        redrawWithoutNested(target);
    if (recordedInStroke_ && !path_.empty())
        path_.back().flags |= kPathEnd;
    open_ = false;
}

void InkEngine::clearPath()
{
    path_.clear();
    recordedInStroke_ = false;
}

void InkEngine::bindTarget(TargetSurface* target)
{
    if (!target)
        return;
    const std::uintptr_t id = target->identity();
    if (targetId_ == 0) {
        targetId_ = id;
        targetSerial_ = workshop_.nextSerial();
        if (const InkEngine* found = workshop_.hostFor(*this)) {
            hostId_ = found->id_;
            hostStroke_ = found->strokeSerial_;
        }
        return;
    }
    if (id == targetId_)
        return;
    // Another device context: taken to show the same picture (a rebuilt
    // copy), but no longer shared with other strokes.
    if (const InkEngine* h = host())
        bakeHostInk(*h);
    hostId_ = 0;
    releaseNested();
    targetId_ = id;
}

void InkEngine::drawSettled(IntRect& dirty)
{
    for (const Capsule& piece : pieces_)
        dirty = dirty.united(rasterizer_.draw(piece, ink_, tiles_.bounds(), tiles_));
}

void InkEngine::rebuildTail(IntRect& dirty)
{
    IntRect area;
    for (const Capsule& piece : curve_.tail())
        area = area.united(capsuleBounds(piece, ink_, tiles_.bounds()));
    tail_.reset(area);
    for (const Capsule& piece : curve_.tail())
        rasterizer_.draw(piece, ink_, area, tail_);
    dirty = dirty.united(area);
}

void InkEngine::composeOwn(const IntRect& dirty, bool withCapture)
{
    const IntRect area = dirty.intersected(tiles_.bounds());
    if (surface_.empty() || area.empty())
        return;
    forEachTileBlock(area, [&](const IntRect& block) {
        Tile& tile = tiles_.obtain(block.left, block.top);
        const InkSource mine{&tile, &tail_};
        for (int y = block.top; y < block.bottom; ++y) {
            std::uint32_t* row = surface_.row(y);
            for (int x = block.left; x < block.right; ++x) {
                const std::uint8_t ink = mine.at(x, y);
                const auto i = static_cast<std::size_t>(Tile::index(x, y));
                if (!Tile::held(tile.ownHeld, x, y)) {
                    if (ink == 0 || !withCapture)
                        continue;
                    tile.ownBackground[i] = row[x];
                    Tile::hold(tile.ownHeld, x, y);
                }
                row[x] = mixer_.mix(tile.ownBackground[i], ink);
            }
        }
    });
}

void InkEngine::composeTarget(const IntRect& dirty, TargetSurface& target, bool withNested)
{
    const IntRect area = dirty.intersected(tiles_.bounds());
    if (area.empty())
        return;
    InkEngine* hostEngine = withNested ? host() : nullptr;
    std::vector<InkEngine*> nested;
    if (withNested)
        workshop_.nestedIn(*this, nested);
    hadNested_ = hadNested_ || !nested.empty();

    const PixelView pixels = target.lock(area);
    if (pixels.empty())
        return;
    if (hostEngine)
        hostEngine->takeBackgrounds(area, pixels);

    std::vector<InkSource> others;
    forEachTileBlock(area, [&](const IntRect& block) {
        Tile& tile = tiles_.obtain(block.left, block.top);
        const InkSource mine{&tile, &tail_};
        const Tile* hostTile = hostEngine ? hostEngine->tiles_.find(block.left, block.top) : nullptr;
        others.clear();
        if (hostEngine)
            others.push_back({hostTile, &hostEngine->tail_});
        for (const InkEngine* n : nested)
            others.push_back({n->tiles_.find(block.left, block.top), &n->tail_});
        for (int y = block.top; y < block.bottom; ++y) {
            std::uint32_t* row = pixels.row(y - area.top) - area.left;
            for (int x = block.left; x < block.right; ++x) {
                std::uint8_t ink = mine.at(x, y);
                for (const InkSource& other : others)
                    ink = std::max(ink, other.at(x, y));
                const auto i = static_cast<std::size_t>(Tile::index(x, y));
                if (!Tile::held(tile.targetHeld, x, y)) {
                    if (ink == 0)
                        continue;
                    const bool hostHolds = hostTile && Tile::held(hostTile->targetHeld, x, y);
                    tile.targetBackground[i] = hostHolds ? hostTile->targetBackground[i] : row[x];
                    Tile::hold(tile.targetHeld, x, y);
                }
                row[x] = mixer_.mix(tile.targetBackground[i], ink);
            }
        }
    });
    target.unlock(area);
}

void InkEngine::takeBackgrounds(const IntRect& lockedArea, const PixelView& targetPixels)
{
    const IntRect area = lockedArea.intersected(tiles_.bounds());
    forEachTileBlock(area, [&](const IntRect& block) {
        Tile& tile = tiles_.obtain(block.left, block.top);
        for (int y = block.top; y < block.bottom; ++y) {
            const std::uint32_t* targetRow = targetPixels.row(y - lockedArea.top) - lockedArea.left;
            for (int x = block.left; x < block.right; ++x) {
                const auto i = static_cast<std::size_t>(Tile::index(x, y));
                if (!Tile::held(tile.targetHeld, x, y)) {
                    tile.targetBackground[i] = targetRow[x];
                    Tile::hold(tile.targetHeld, x, y);
                }
                if (!surface_.empty() && !Tile::held(tile.ownHeld, x, y)) {
                    tile.ownBackground[i] = surface_.at(x, y);
                    Tile::hold(tile.ownHeld, x, y);
                }
            }
        }
    });
}

void InkEngine::redrawWithoutNested(TargetSurface* target)
{
    const int columns = tiles_.columns();
    std::vector<int> cells = tiles_.usedCells();
    for (int cell : cells)
        composeOwn(tileRect(cell, columns), false);
    if (!target)
        return;
    // One lock per row of tiles keeps the calls few and the area small.
    std::sort(cells.begin(), cells.end());
    for (std::size_t i = 0; i < cells.size();) {
        const int row = cells[i] / columns;
        IntRect band = tileRect(cells[i], columns);
        std::size_t j = i + 1;
        while (j < cells.size() && cells[j] / columns == row)
            band = band.united(tileRect(cells[j++], columns));
        composeTarget(band, *target, false);
        i = j;
    }
}

void InkEngine::bakeHostInk(const InkEngine& host)
{
    // The host's picture under our ink was its background; without the host
    // it is its background plus its ink.
    const int columns = tiles_.columns();
    for (int cell : tiles_.usedCells()) {
        const IntRect block = tileRect(cell, columns).intersected(tiles_.bounds());
        Tile& tile = tiles_.obtain(block.left, block.top);
        const InkSource hostInk{host.tiles_.find(block.left, block.top), &host.tail_};
        for (int y = block.top; y < block.bottom; ++y)
            for (int x = block.left; x < block.right; ++x) {
                if (!Tile::held(tile.targetHeld, x, y))
                    continue;
                std::uint32_t& background = tile.targetBackground[static_cast<std::size_t>(Tile::index(x, y))];
                background = host.mixer_.mix(background, hostInk.at(x, y));
            }
    }
}

void InkEngine::releaseNested()
{
    if (strokeSerial_ == 0)
        return;
    std::vector<InkEngine*> nested;
    workshop_.nestedIn(*this, nested);
    for (InkEngine* child : nested) {
        child->bakeHostInk(*this);
        child->hostId_ = 0;
    }
}

InkEngine* InkEngine::host() const
{
    if (hostId_ == 0)
        return nullptr;
    InkEngine* found = workshop_.find(hostId_);
    return found && found->strokeSerial_ == hostStroke_ ? found : nullptr;
}

std::uint64_t Workshop::join(InkEngine* engine)
{
    engines_.push_back(engine);
    return nextSerial();
}

void Workshop::leave(InkEngine* engine)
{
    engines_.erase(std::remove(engines_.begin(), engines_.end(), engine), engines_.end());
}

InkEngine* Workshop::find(std::uint64_t id) const
{
    for (InkEngine* engine : engines_)
        if (engine->id_ == id)
            return engine;
    return nullptr;
}

InkEngine* Workshop::hostFor(const InkEngine& nested) const
{
    InkEngine* best = nullptr;
    for (InkEngine* candidate : engines_) {
        if (candidate == &nested || !candidate->open_ || candidate->hostId_ != 0)
            continue;
        if (candidate->targetId_ != nested.targetId_ || candidate->targetSerial_ >= nested.strokeSerial_)
            continue;
        if (!candidate->ink_.sameLookAs(nested.ink_))
            continue;
        if (candidate->surface_.width != nested.surface_.width || candidate->surface_.height != nested.surface_.height)
            continue;
        if (!best || candidate->targetSerial_ < best->targetSerial_)
            best = candidate;
    }
    return best;
}

void Workshop::nestedIn(const InkEngine& host, std::vector<InkEngine*>& out) const
{
    out.clear();
    for (InkEngine* engine : engines_)
        if (engine != &host && engine->hostId_ == host.id_ && engine->hostStroke_ == host.strokeSerial_)
            out.push_back(engine);
}

} // namespace lplines
