// The exported functions: look the handle up in the registry of live
// instances, check the arguments, and hand over to the portable engine.
#include "lplines.h"

#include "gdi_surfaces.h"
#include "ink_engine.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>

namespace lplines {
namespace {

constexpr int kMaxCanvasSide = 16384;

struct Instance {
    explicit Instance(Workshop& workshop) : engine(workshop) {}
    InkEngine engine;
    OwnSurface surface;
};

// Handles are serial numbers, never reused, so a stale handle can never
// reach a newer instance that happens to sit at the same address.
class Registry {
public:
    std::mutex lock;
    Workshop workshop;

    Instance* find(LPLINES_HANDLE handle)
    {
        const auto it = instances_.find(reinterpret_cast<std::uintptr_t>(handle));
        return it == instances_.end() ? nullptr : it->second.get();
    }

    LPLINES_HANDLE add(std::unique_ptr<Instance> instance)
    {
        nextHandle_ += 4;
        instances_.emplace(nextHandle_, std::move(instance));
        return reinterpret_cast<LPLINES_HANDLE>(nextHandle_);
    }

    bool remove(LPLINES_HANDLE handle) { return instances_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0; }

private:
    std::map<std::uintptr_t, std::unique_ptr<Instance>> instances_;
    std::uintptr_t nextHandle_ = 0x10000;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// Runs `work` on the live instance behind `handle`, under the library lock.
template <typename Work>
int withInstance(LPLINES_HANDLE handle, Work&& work)
{
    Registry& r = registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    Instance* instance = r.find(handle);
    if (!instance)
        return LPLINES_E_HANDLE;
    // The caller may have drawn on our DC; finish that before touching bits.
    GdiFlush();
    return work(*instance);
}

template <typename T, typename Read>
int readInto(LPLINES_HANDLE handle, T* out, Read&& read)
{
    return withInstance(handle, [&](Instance& instance) {
        if (!out)
            return LPLINES_E_ARGUMENT;
        *out = read(instance);
        return LPLINES_OK;
    });
}

int resultOf(Status status)
{
    switch (status) {
    case Status::ok:
        return LPLINES_OK;
    case Status::badArgument:
        return LPLINES_E_ARGUMENT;
    case Status::pathFull:
        return LPLINES_E_PATH_FULL;
    }
    return LPLINES_E_ARGUMENT;
}

// The target, unless it is missing or our own surface (drawn anyway).
TargetSurface* targetFor(HDC dc, const Instance& instance, DcTarget& holder)
{
    return dc && dc != instance.surface.dc() ? &holder : nullptr;
}

} // namespace
} // namespace lplines

using lplines::Instance;

extern "C" {

int WINAPI LPLinesCreate(LPLINES_HANDLE* handle, int flags)
{
    if (!handle)
        return LPLINES_E_ARGUMENT;
    *handle = nullptr;
    if (flags != 0)
        return LPLINES_E_ARGUMENT;
    lplines::Registry& r = lplines::registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    auto instance = std::make_unique<Instance>(r.workshop);
    if (!instance->surface.valid())
        return LPLINES_E_RESOURCES;
    *handle = r.add(std::move(instance));
    return LPLINES_OK;
}

int WINAPI LPLinesDestroy(LPLINES_HANDLE handle)
{
    lplines::Registry& r = lplines::registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    return r.remove(handle) ? LPLINES_OK : LPLINES_E_HANDLE;
}

int WINAPI LPLinesSetColor(LPLINES_HANDLE handle, uint32_t argb)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        i.engine.setColor(argb);
        return LPLINES_OK;
    });
}

int WINAPI LPLinesGetColor(LPLINES_HANDLE handle, uint32_t* argb)
{
    return lplines::readInto(handle, argb, [](Instance& i) { return i.engine.style().color; });
}

int WINAPI LPLinesSetPenWidth(LPLINES_HANDLE handle, float width)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        return i.engine.setPenWidth(width) ? LPLINES_OK : LPLINES_E_ARGUMENT;
    });
}

int WINAPI LPLinesGetPenWidth(LPLINES_HANDLE handle, float* width)
{
    return lplines::readInto(handle, width, [](Instance& i) { return i.engine.style().penWidth; });
}

int WINAPI LPLinesSetInkFlow(LPLINES_HANDLE handle, float flow)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        return i.engine.setInkFlow(flow) ? LPLINES_OK : LPLINES_E_ARGUMENT;
    });
}

int WINAPI LPLinesGetInkFlow(LPLINES_HANDLE handle, float* flow)
{
    return lplines::readInto(handle, flow, [](Instance& i) { return i.engine.style().inkFlow; });
}

int WINAPI LPLinesSetQuality(LPLINES_HANDLE handle, int quality)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        i.engine.setQuality(quality);
        return LPLINES_OK;
    });
}

int WINAPI LPLinesGetQuality(LPLINES_HANDLE handle, int* quality)
{
    return lplines::readInto(handle, quality, [](Instance& i) { return i.engine.style().quality; });
}

int WINAPI LPLinesSetPressureDoubled(LPLINES_HANDLE handle, int doubled)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        i.engine.setPressureDoubled(doubled != 0);
        return LPLINES_OK;
    });
}

int WINAPI LPLinesGetPressureDoubled(LPLINES_HANDLE handle, int* doubled)
{
    return lplines::readInto(handle, doubled, [](Instance& i) { return i.engine.style().pressureDoubled ? 1 : 0; });
}

int WINAPI LPLinesSetTipHardness(LPLINES_HANDLE handle, float hardness)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        return i.engine.setTipHardness(hardness) ? LPLINES_OK : LPLINES_E_ARGUMENT;
    });
}

int WINAPI LPLinesGetTipHardness(LPLINES_HANDLE handle, float* hardness)
{
    return lplines::readInto(handle, hardness, [](Instance& i) { return i.engine.style().tipHardness; });
}

int WINAPI LPLinesSetCanvasSize(LPLINES_HANDLE handle, int width, int height)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        if (width < 1 || height < 1 || width > lplines::kMaxCanvasSide || height > lplines::kMaxCanvasSide)
            return LPLINES_E_ARGUMENT;
        if (width == i.surface.width() && height == i.surface.height())
            return LPLINES_OK;
        if (!i.surface.resize(width, height))
            return LPLINES_E_RESOURCES;
        i.engine.setSurface(i.surface.pixels());
        return LPLINES_OK;
    });
}

int WINAPI LPLinesGetCanvasSize(LPLINES_HANDLE handle, int* width, int* height)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        if (!width || !height)
            return LPLINES_E_ARGUMENT;
        *width = i.surface.width();
        *height = i.surface.height();
        return LPLINES_OK;
    });
}

int WINAPI LPLinesCanvasClear(LPLINES_HANDLE handle)
{
    return lplines::withInstance(handle, [](Instance& i) {
        i.engine.clearSurface();
        return LPLINES_OK;
    });
}

int WINAPI LPLinesGetCanvasDC(LPLINES_HANDLE handle, HDC* dc)
{
    return lplines::readInto(handle, dc, [](Instance& i) { return i.surface.dc(); });
}

int WINAPI LPLinesClear(LPLINES_HANDLE handle)
{
    return lplines::withInstance(handle, [](Instance& i) {
        i.engine.beginStroke();
        return LPLINES_OK;
    });
}

int WINAPI LPLinesLineTo(LPLINES_HANDLE handle, HDC target, float x, float y, float pressure)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        lplines::DcTarget holder(target);
        const lplines::Status status =
            i.engine.lineTo(x, y, pressure, GetTickCount(), lplines::targetFor(target, i, holder));
        return lplines::resultOf(status);
    });
}

int WINAPI LPLinesEnd(LPLINES_HANDLE handle, HDC target)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        lplines::DcTarget holder(target);
        i.engine.endStroke(lplines::targetFor(target, i, holder));
        return LPLINES_OK;
    });
}

int WINAPI LPLinesPathClear(LPLINES_HANDLE handle)
{
    return lplines::withInstance(handle, [](Instance& i) {
        i.engine.clearPath();
        return LPLINES_OK;
    });
}

int WINAPI LPLinesPathCount(LPLINES_HANDLE handle, int* count)
{
    return lplines::readInto(handle, count, [](Instance& i) { return static_cast<int>(i.engine.path().size()); });
}

int WINAPI LPLinesPathPoint(LPLINES_HANDLE handle, int index, LPLinesPoint* point)
{
    return lplines::withInstance(handle, [&](Instance& i) {
        const auto& path = i.engine.path();
        if (!point || index < 0 || static_cast<std::size_t>(index) >= path.size())
            return LPLINES_E_ARGUMENT;
        const lplines::PathPoint& p = path[static_cast<std::size_t>(index)];
        *point = LPLinesPoint{p.x, p.y, p.pressure, p.time, p.flags};
        return LPLINES_OK;
    });
}

} // extern "C"

static_assert(sizeof(LPLinesPoint) == 20, "the point record is 20 bytes");
