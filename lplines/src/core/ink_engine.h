// One ink engine instance: its settings, its own surface, its recorded path
// and the stroke it is drawing.
//
// How a stroke reaches the pixels (the contract callers rely on):
// - Each point inks only the area the new ink (and the replaced provisional
//   tail) covers, on the own surface and on the target; the work per point
//   follows that area, never the canvas size.
// - A pixel is inked from the picture that lay under the stroke before the
//   stroke first reached it, with the stroke's largest coverage there: the
//   stroke looks as if painted in one pass, also where it crosses itself.
// - That picture is taken per pixel the first time the stroke inks it, or
//   earlier, when a nested stroke (below) is about to ink it.
// - A nested stroke is one begun by another instance, with the same colour
//   and opacity and the same canvas size, that draws on the same target
//   while this stroke is open: a preview of where the stroke is going. On
//   the target, the two are composed as one ink: background plus the larger
//   of both coverages, so a preview neither darkens nor breaks the stroke.
//   A nested stroke's ink lasts until that instance starts its next stroke;
//   when this stroke ends, its pixels are redrawn from their backgrounds
//   without the nested ink, so only the stroke itself remains.
#pragma once

#include "capsule_raster.h"
#include "coverage.h"
#include "ink_style.h"
#include "pixels.h"
#include "stroke_curve.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lplines {

// A surface the engine reaches only rectangle by rectangle (a device
// context it does not own).
class TargetSurface {
public:
    virtual ~TargetSurface() = default;
    // Equal for the same surface.
    virtual std::uintptr_t identity() const = 0;
    // The current pixels of `area` for reading and changing, the view's
    // origin at the area's corner; an empty view when they cannot be had.
    virtual PixelView lock(const IntRect& area) = 0;
    // Puts the pixels of the locked area back.
    virtual void unlock(const IntRect& area) = 0;

protected:
    TargetSurface() = default;
    TargetSurface(const TargetSurface&) = default;
    TargetSurface& operator=(const TargetSurface&) = default;
};

struct PathPoint {
    float x;
    float y;
    float pressure;
    std::uint32_t time;    // ms
    std::uint32_t flags;   // kPathBegin, kPathEnd
};
constexpr std::uint32_t kPathBegin = 1;
constexpr std::uint32_t kPathEnd = 2;
constexpr std::size_t kMaxPathPoints = std::size_t{1} << 22;

enum class Status { ok, badArgument, pathFull };

class Workshop;

class InkEngine {
public:
    explicit InkEngine(Workshop& workshop);
    ~InkEngine();
    InkEngine(const InkEngine&) = delete;
    InkEngine& operator=(const InkEngine&) = delete;

    const InkStyle& style() const { return style_; }
    void setColor(std::uint32_t color) { style_.color = color; }
    bool setPenWidth(float width);
    bool setInkFlow(float flow);
    void setQuality(int quality) { style_.quality = quality; }
    bool setTipHardness(float hardness);
    void setPressureDoubled(bool doubled) { style_.pressureDoubled = doubled; }

    // The own surface, owned by the caller. A new surface (a resize) keeps
    // the stroke's shape going but forgets what lay under it.
    void setSurface(const PixelView& surface);
    void clearSurface();

    // Starts a new stroke (ending an open one on the own surface).
    void beginStroke();
    // Continues the stroke to (x, y), inking the own surface and `target`
    // (may be null). NaN or infinite coordinates are refused.
    Status lineTo(double x, double y, float pressure, std::uint32_t time, TargetSurface* target);
    // Ends the stroke, inking what is left.
    void endStroke(TargetSurface* target);

    const std::vector<PathPoint>& path() const { return path_; }
    void clearPath();

private:
    friend class Workshop;

    void forgetBackgrounds();
    void discardStroke();
    void bindTarget(TargetSurface* target);
    void startCurve(const InkVertex& point);
    void drawSettled(IntRect& dirty);
    void rebuildTail(IntRect& dirty);
    void composeOwn(const IntRect& area, bool withCapture);
    void composeTarget(const IntRect& area, TargetSurface& target, bool withNested);
    void takeBackgrounds(const IntRect& area, const PixelView& targetPixels);
    void redrawWithoutNested(TargetSurface* target);
    void bakeHostInk(const InkEngine& host);
    void releaseNested();
    InkEngine* host() const;

    Workshop& workshop_;
    std::uint64_t id_;
    InkStyle style_;
    PixelView surface_;
    std::vector<PathPoint> path_;

    // The stroke.
    bool open_ = false;
    std::uint64_t strokeSerial_ = 0;     // 0: no stroke data
    StrokeInk ink_;
    InkMixer mixer_;                     // the stroke's ink at each coverage
    StrokeCurve curve_;
    TileGrid tiles_;
    DenseCoverage tail_;
    CapsuleRasterizer rasterizer_;
    std::vector<Capsule> pieces_;
    std::uintptr_t targetId_ = 0;
    std::uint64_t targetSerial_ = 0;     // when the stroke first drew on its target
    std::uint64_t hostId_ = 0;           // the stroke this one is nested in
    std::uint64_t hostStroke_ = 0;
    bool hadNested_ = false;
    bool recordedInStroke_ = false;
    double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    float widestTip_ = 0.0f;   // the largest radius the pen asked for
};

// Every engine instance of the process, so that strokes drawn on the same
// target can find one another.
class Workshop {
public:
    Workshop() = default;
    Workshop(const Workshop&) = delete;
    Workshop& operator=(const Workshop&) = delete;

    std::uint64_t nextSerial() { return ++serial_; }

private:
    friend class InkEngine;
    std::uint64_t join(InkEngine* engine);
    void leave(InkEngine* engine);
    InkEngine* find(std::uint64_t id) const;
    InkEngine* hostFor(const InkEngine& nested) const;
    void nestedIn(const InkEngine& host, std::vector<InkEngine*>& out) const;

    std::vector<InkEngine*> engines_;
    std::uint64_t serial_ = 0;
};

} // namespace lplines
