// The capsule rasteriser on every capsule a stroke can make: ends anywhere
// (any finite position, as a host may pass through the DLL), tips and ink
// from any pressure and any setting the engine accepts; any clip rectangle.
// Promises: no crash; coverage arrives only inside the clip and inside the
// rectangle draw() returns, which capsuleBounds() also contains.

#include "capsule_raster.h"
#include "fuzz_support.h"

#include <cmath>

namespace {

using namespace lplines;

using fuzz::broken;

class CheckingSink final : public CoverageSink {
public:
    explicit CheckingSink(const IntRect& clip) : clip_(clip) {}
    void maxRow(int y, int x, int count, const std::uint8_t* values) override
    {
        if (count <= 0 || !clip_.contains(x, y) || !clip_.contains(x + count - 1, y))
            broken("coverage arrives inside the clip, in non-empty rows");
        touched_ = touched_.united({x, y, x + count, y + 1});
        for (int i = 0; i < count; ++i)
            sum_ += values[i]; // every value is readable
    }
    const IntRect& touched() const { return touched_; }

private:
    IntRect clip_;
    IntRect touched_;
    unsigned long long sum_ = 0;
};

double finiteCoordinate(FuzzedDataProvider& input)
{
    const double value = fuzz::coordinate(input, -100.0, 1100.0);
    return std::isfinite(value) ? value : 0.0; // the engine refuses the others
}

InkVertex vertex(FuzzedDataProvider& input, const InkStyle& style)
{
    const double x = finiteCoordinate(input);
    const double y = finiteCoordinate(input);
    const Tip tip = tipFor(style, fuzz::amount(input, 0.0f, 5.0f));
    return {x, y, tip.radius, tip.strength};
}

// A style as the engine's setters leave it: out-of-range values are refused.
InkStyle style(FuzzedDataProvider& input)
{
    InkStyle style;
    style.color = input.ConsumeIntegral<std::uint32_t>();
    style.penWidth = input.ConsumeFloatingPointInRange(kMinPenWidth, kMaxPenWidth);
    const float flow = fuzz::amount(input, 0.0f, 2.0f);
    style.inkFlow = flow >= 0.0f && std::isfinite(flow) ? flow : 1.0f;
    style.quality = input.ConsumeIntegral<int>();
    style.tipHardness = input.ConsumeFloatingPointInRange(0.0f, 1.0f);
    style.pressureDoubled = input.ConsumeBool();
    return style;
}

bool contains(const IntRect& outer, const IntRect& inner)
{
    return inner.empty() || (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
                             && inner.bottom <= outer.bottom);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const InkStyle inkStyle = style(input);
    const StrokeInk ink = strokeInkFor(inkStyle);
    const int left = input.ConsumeIntegralInRange(-64, 1024);
    const int top = input.ConsumeIntegralInRange(-64, 1024);
    const IntRect clip{left, top, left + input.ConsumeIntegralInRange(0, 1024), top + input.ConsumeIntegralInRange(0, 1024)};

    CapsuleRasterizer rasterizer;
    while (input.remaining_bytes() > 0) {
        const InkVertex from = vertex(input, inkStyle);
        const Capsule capsule{from, input.ConsumeBool() ? from : vertex(input, inkStyle)}; // or a dot
        CheckingSink sink(clip);
        const IntRect drawn = rasterizer.draw(capsule, ink, clip, sink);
        if (!contains(clip, drawn) || !contains(drawn, sink.touched()))
            broken("draw() returns a rectangle inside the clip holding all it drew");
        if (!contains(clip, capsuleBounds(capsule, ink, clip)))
            broken("capsuleBounds() stays inside the clip");
    }
    return 0;
}
