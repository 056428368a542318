// The engine behind EngineUnderTest. Built twice (see CMakeLists.txt): the
// macro INK_ENGINE_FACTORY names the factory, and for the baseline the
// engine's namespace is renamed on the command line, so this file only uses
// what both engines have.
#include "engine_under_test.h"

#include "ink_engine.h"
#include "ink_style.h"
#include "stroke_curve.h"

#include <cmath>
#include <ctime>

#ifndef INK_ENGINE_FACTORY
#error "INK_ENGINE_FACTORY names the factory this build defines"
#endif

namespace inkq {

namespace {

// The shown picture as a device context would be: the engine reaches it
// rectangle by rectangle.
class PictureTarget : public lplines::TargetSurface {
public:
    explicit PictureTarget(Picture& picture) : picture_(picture) {}
    std::uintptr_t identity() const override { return reinterpret_cast<std::uintptr_t>(&picture_); }
    lplines::PixelView lock(const lplines::IntRect& area) override
    {
        if (area.left < 0 || area.top < 0 || area.right > picture_.width || area.bottom > picture_.height)
            return {};
        return {&picture_.at(area.left, area.top), area.width(), area.height(), picture_.width};
    }
    void unlock(const lplines::IntRect&) override {}

private:
    Picture& picture_;
};

lplines::PixelView viewOf(Picture& picture)
{
    return {picture.pixels.data(), picture.width, picture.height, picture.width};
}

class Engine : public EngineUnderTest {
public:
    Engine() : main_(workshop_), preview_(workshop_), target_(shown_) {}

    void reset(int width, int height, float penWidth, std::uint32_t argb) override
    {
        shown_ = Picture(width, height);
        mainSurface_ = Picture(width, height);
        previewSurface_ = Picture(width, height);
        for (lplines::InkEngine* e : {&main_, &preview_}) {
            e->setPenWidth(penWidth);
            e->setColor(argb);
        }
        main_.setSurface(viewOf(mainSurface_));
        preview_.setSurface(viewOf(previewSurface_));
    }

    const Picture& shown() const override { return shown_; }

    void begin() override { main_.beginStroke(); }
    void lineTo(double x, double y, float pressure) override { main_.lineTo(x, y, pressure, ++time_, &target_); }
    void end() override { main_.endStroke(&target_); }

    void preview(const std::vector<Spot>& spots) override
    {
        preview_.beginStroke();
        previewSurface_.pixels = mainSurface_.pixels;
        for (const Spot& s : spots)
            preview_.lineTo(s.x, s.y, s.pressure, time_, &target_);
        preview_.endStroke(&target_);
        mainSurface_.pixels = previewSurface_.pixels;
    }

    CentreLine centreLine(const std::vector<Spot>& stroke, float penWidth) const override
    {
        lplines::InkStyle style;
        style.penWidth = penWidth;
        const lplines::StrokeInk ink = lplines::strokeInkFor(style);
        lplines::StrokeCurve curve;
        curve.restart(ink.flatness, ink.smooth);
        std::vector<lplines::Capsule> pieces;
        CentreLine line;
        for (const Spot& s : stroke) {
            const lplines::Tip tip = lplines::tipFor(style, s.pressure);
            curve.add({s.x, s.y, tip.radius, tip.strength}, pieces);
            const lplines::InkVertex& end = curve.tail().empty() ? pieces.back().to : curve.tail().back().to;
            line.worstLag = std::max(line.worstLag, std::hypot(end.x - s.x, end.y - s.y));
        }
        curve.finish(pieces);
        for (const lplines::Capsule& c : pieces) {
            for (const lplines::InkVertex& v : {c.from, c.to}) {
                if (!line.vertices.empty() && line.vertices.back().x == v.x && line.vertices.back().y == v.y)
                    line.vertices.back().width = 2.0 * v.radius;
                else
                    line.vertices.push_back({v.x, v.y, 2.0 * v.radius});
            }
        }
        return line;
    }

    double lineToCost(const std::vector<Spot>& stroke, float penWidth, int width, int height, int rounds) override
    {
        Picture surface(width, height);
        Picture target(width, height);
        PictureTarget dc(target);
        lplines::Workshop workshop;
        lplines::InkEngine engine(workshop);
        engine.setPenWidth(penWidth);
        engine.setSurface(viewOf(surface));
        // CPU time of this thread: other programs on a shared machine slow
        // the wall clock, not this.
        timespec started{}, ended{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &started);
        for (int r = 0; r < rounds; ++r) {
            engine.beginStroke();
            for (const Spot& s : stroke)
                engine.lineTo(s.x, s.y, s.pressure, 0, &dc);
            engine.endStroke(&dc);
        }
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ended);
        const double spent = static_cast<double>(ended.tv_sec - started.tv_sec) * 1e9
                           + static_cast<double>(ended.tv_nsec - started.tv_nsec);
        return spent / (static_cast<double>(rounds) * static_cast<double>(stroke.size()));
    }

private:
    Picture shown_;
    Picture mainSurface_;
    Picture previewSurface_;
    lplines::Workshop workshop_;
    lplines::InkEngine main_;
    lplines::InkEngine preview_;
    PictureTarget target_;
    std::uint32_t time_ = 0;
};

} // namespace

std::unique_ptr<EngineUnderTest> INK_ENGINE_FACTORY()
{
    return std::make_unique<Engine>();
}

} // namespace inkq
