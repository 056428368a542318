// The engine's stroke building on any sequence of calls a host can make
// through the DLL: strokes of any points, pressures and times (NaN, huge
// and negative included), every setting, new surfaces of any size, two
// instances drawing on one target (a stroke and its preview).
// Promises: no crash and no access outside the surfaces (ASan sees every
// pixel buffer at its exact size); non-finite coordinates are refused;
// the engine locks only areas of sensible size.

#include "fuzz_support.h"
#include "ink_engine.h"

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace lplines;

using fuzz::broken;

// Surfaces are never larger than this in the harness, so a lock of more
// pixels than four of them means the work did not follow the ink.
constexpr int kLargestSide = 160;

struct Pixels {
    explicit Pixels(int w, int h) : data(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), kWhite)
    {
        view = {data.empty() ? nullptr : data.data(), w, h, w};
    }
    std::vector<std::uint32_t> data;
    PixelView view;
};

// A target in memory: a locked area is handed out as a buffer of its exact
// size, as the DLL's device-context target does.
class MemoryTarget final : public TargetSurface {
public:
    MemoryTarget(int w, int h) : pixels_(w, h) {}
    std::uintptr_t identity() const override { return reinterpret_cast<std::uintptr_t>(this); }
    PixelView lock(const IntRect& area) override
    {
        if (area.empty() || area.area() > 4LL * kLargestSide * kLargestSide)
            broken("a lock covers a sensible, non-empty area");
        locked_ = std::make_unique<Pixels>(area.width(), area.height());
        return locked_->view;
    }
    void unlock(const IntRect& area) override
    {
        if (!locked_ || locked_->view.width != area.width() || locked_->view.height != area.height())
            broken("an unlock matches its lock");
        const IntRect inside = area.intersected(pixels_.view.bounds());
        for (int y = inside.top; y < inside.bottom; ++y)
            for (int x = inside.left; x < inside.right; ++x)
                pixels_.view.at(x, y) = locked_->view.at(x - area.left, y - area.top);
        locked_.reset();
    }

private:
    Pixels pixels_;
    std::unique_ptr<Pixels> locked_;
};

int side(FuzzedDataProvider& input)
{
    return input.ConsumeIntegralInRange(0, kLargestSide);
}

struct Instance {
    explicit Instance(Workshop& workshop, int w, int h) : surface(std::make_unique<Pixels>(w, h)), engine(workshop)
    {
        engine.setSurface(surface->view);
    }
    std::unique_ptr<Pixels> surface;
    InkEngine engine;
};

void lineTo(FuzzedDataProvider& input, Instance& instance, TargetSurface* target)
{
    const double x = fuzz::coordinate(input, -50.0, kLargestSide + 50.0);
    const double y = fuzz::coordinate(input, -50.0, kLargestSide + 50.0);
    const float pressure = fuzz::amount(input, 0.0f, 5.0f);
    const Status status = instance.engine.lineTo(x, y, pressure, input.ConsumeIntegral<std::uint32_t>(), target);
    const bool finite = std::isfinite(x) && std::isfinite(y) && !std::isnan(pressure);
    if (finite == (status == Status::badArgument))
        broken("exactly the points with a coordinate that is not finite are refused");
}

void changeSetting(FuzzedDataProvider& input, InkEngine& engine)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: engine.setPenWidth(fuzz::amount(input, 0.0f, 60.0f)); break;
    case 1: engine.setInkFlow(fuzz::amount(input, 0.0f, 2.0f)); break;
    case 2: engine.setQuality(input.ConsumeIntegral<int>()); break;
    case 3: engine.setTipHardness(fuzz::amount(input, 0.0f, 1.0f)); break;
    case 4: engine.setPressureDoubled(input.ConsumeBool()); break;
    default: engine.setColor(input.ConsumeIntegral<std::uint32_t>()); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Workshop workshop;
    const int w = side(input);
    const int h = side(input);
    MemoryTarget target(side(input), side(input));
    std::array<std::unique_ptr<Instance>, 2> instances{std::make_unique<Instance>(workshop, w, h),
                                                       std::make_unique<Instance>(workshop, w, h)};
    for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
        Instance& instance = *instances[input.ConsumeBool() ? 1 : 0];
        TargetSurface* onTarget = input.ConsumeIntegralInRange(0, 7) != 0 ? &target : nullptr;
        switch (input.ConsumeIntegralInRange(0, 11)) {
        case 0: instance.engine.beginStroke(); break;
        case 1: instance.engine.endStroke(onTarget); break;
        case 2: changeSetting(input, instance.engine); break;
        case 3: instance.engine.clearPath(); break;
        case 4: instance.engine.clearSurface(); break;
        case 5: {
            auto surface = std::make_unique<Pixels>(side(input), side(input));
            instance.engine.setSurface(surface->view);
            instance.surface = std::move(surface);
            break;
        }
        default: lineTo(input, instance, onTarget); break;
        }
    }
    return 0;
}
