// A libLPLines.dll that records every call (see recorder_api.h).
#include "recorder_api.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <vector>

using recorder::Call;
using recorder::RecordedCall;

namespace {

struct Instance {
    std::int32_t serial = 0;
    std::uint32_t color = 0xFF000000u;
    float penWidth = 6.0f;
    float inkFlow = 1.0f;
    int quality = 0;
    int width = 0;
    int height = 0;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    bool hasLast = false;
    float lastX = 0.0f;
    float lastY = 0.0f;
    std::vector<recorder::PathPoint> path;

    ~Instance() { releaseSurface(); }

    void releaseSurface()
    {
        if (dc != nullptr) {
            SelectObject(dc, oldBitmap);
            DeleteDC(dc);
        }
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        dc = nullptr;
        bitmap = nullptr;
    }
};

struct State {
    CRITICAL_SECTION lock;
    std::vector<RecordedCall> calls;
    std::map<void*, std::unique_ptr<Instance>> instances;
    std::int32_t nextSerial = 0;
    bool logging = true;
    int failCreates = 0;
    bool failedCreateMakes = false;
    int pathClearResult = 0;
    int reportedAlpha = -1;

    State() { InitializeCriticalSection(&lock); }
    ~State() { DeleteCriticalSection(&lock); }
};

// Never destroyed: when the process ends, its other threads are gone,
// perhaps inside GDI, and a destructor releasing surfaces would wait for
// them for ever.
State& state()
{
    alignas(State) static unsigned char storage[sizeof(State)];
    static State* const s = new (storage) State();
    return *s;
}

class Guard {
public:
    Guard() { EnterCriticalSection(&state().lock); }
    ~Guard() { LeaveCriticalSection(&state().lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

Instance* find(void* handle)
{
    const auto it = state().instances.find(handle);
    return it == state().instances.end() ? nullptr : it->second.get();
}

RecordedCall& log(Call call, void* handle)
{
    static RecordedCall discarded;
    RecordedCall entry{};
    entry.call = call;
    const Instance* instance = find(handle);
    entry.instance = instance != nullptr ? instance->serial : 0;
    entry.thread = GetCurrentThreadId();
    if (!state().logging) {
        discarded = entry;
        return discarded;
    }
    state().calls.push_back(entry);
    return state().calls.back();
}

// Most entry points come down to one field of a live instance: a getter
// logs its call here, a setter logs its argument itself first.
template <typename T>
int readField(void* handle, Call call, T Instance::*field, T* value)
{
    log(call, handle);
    const Instance* instance = find(handle);
    if (instance == nullptr || value == nullptr)
        return 1;
    *value = instance->*field;
    return 0;
}

template <typename T>
int writeField(void* handle, T Instance::*field, T value)
{
    Instance* instance = find(handle);
    if (instance == nullptr)
        return 1;
    instance->*field = value;
    return 0;
}

COLORREF inkColor(const Instance& instance)
{
    const std::uint32_t c = instance.color;
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

void drawInk(HDC dc, const Instance& instance, float x, float y, float pressure)
{
    if (dc == nullptr)
        return;
    const int width = std::max(1, static_cast<int>(std::lround(instance.penWidth * pressure)));
    LOGBRUSH brush{BS_SOLID, inkColor(instance), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                            static_cast<DWORD>(width), &brush, 0, nullptr);
    HBRUSH fill = CreateSolidBrush(inkColor(instance));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, fill);
    const int ix = static_cast<int>(std::lround(x));
    const int iy = static_cast<int>(std::lround(y));
    if (instance.hasLast) {
        MoveToEx(dc, static_cast<int>(std::lround(instance.lastX)), static_cast<int>(std::lround(instance.lastY)),
                 nullptr);
        LineTo(dc, ix, iy);
    }
    const int r = width / 2;
    SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, ix - r, iy - r, ix + r + 2, iy + r + 2);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
}

bool makeSurface(Instance& instance, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (bitmap == nullptr || dc == nullptr) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (dc != nullptr)
            DeleteDC(dc);
        return false;
    }
    const HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    if (instance.dc != nullptr)
        BitBlt(dc, 0, 0, std::min(width, instance.width), std::min(height, instance.height), instance.dc, 0, 0,
               SRCCOPY);
    instance.releaseSurface();
    instance.dc = dc;
    instance.bitmap = bitmap;
    instance.oldBitmap = old;
    instance.width = width;
    instance.height = height;
    return true;
}

} // namespace

extern "C" {

int WINAPI LPLinesCreate(void** handle, int flags)
{
    Guard guard;
    if (handle == nullptr)
        return 2;
    RecordedCall& entry = log(Call::create, nullptr);
    entry.intArg[0] = flags;
    const bool fails = state().failCreates > 0;
    if (fails)
        --state().failCreates;
    *handle = nullptr;
    if (fails && !state().failedCreateMakes)
        return 3;
    auto instance = std::make_unique<Instance>();
    instance->serial = ++state().nextSerial;
    entry.instance = instance->serial;
    *handle = instance.get();
    state().instances.emplace(instance.get(), std::move(instance));
    return fails ? 3 : 0;
}

int WINAPI LPLinesDestroy(void* handle)
{
    Guard guard;
    log(Call::destroy, handle);
    return state().instances.erase(handle) == 1 ? 0 : 1;
}

int WINAPI LPLinesSetColor(void* handle, std::uint32_t color)
{
    Guard guard;
    log(Call::setColor, handle).color = color;
    return writeField(handle, &Instance::color, color);
}

int WINAPI LPLinesGetColor(void* handle, std::uint32_t* color)
{
    Guard guard;
    const int result = readField(handle, Call::getColor, &Instance::color, color);
    if (result == 0 && state().reportedAlpha >= 0)
        *color = (*color & 0x00FFFFFFu) | (static_cast<std::uint32_t>(state().reportedAlpha) << 24);
    return result;
}

int WINAPI LPLinesSetPenWidth(void* handle, float width)
{
    Guard guard;
    log(Call::setPenWidth, handle).floatArg[0] = width;
    return writeField(handle, &Instance::penWidth, width);
}

int WINAPI LPLinesGetPenWidth(void* handle, float* width)
{
    Guard guard;
    return readField(handle, Call::getPenWidth, &Instance::penWidth, width);
}

int WINAPI LPLinesSetInkFlow(void* handle, float flow)
{
    Guard guard;
    log(Call::setInkFlow, handle).floatArg[0] = flow;
    return writeField(handle, &Instance::inkFlow, flow);
}

int WINAPI LPLinesGetInkFlow(void* handle, float* flow)
{
    Guard guard;
    return readField(handle, Call::getInkFlow, &Instance::inkFlow, flow);
}

int WINAPI LPLinesSetQuality(void* handle, int quality)
{
    Guard guard;
    log(Call::setQuality, handle).intArg[0] = quality;
    return writeField(handle, &Instance::quality, quality);
}

int WINAPI LPLinesGetQuality(void* handle, int* quality)
{
    Guard guard;
    return readField(handle, Call::getQuality, &Instance::quality, quality);
}

int WINAPI LPLinesSetCanvasSize(void* handle, int width, int height)
{
    Guard guard;
    RecordedCall& entry = log(Call::setCanvasSize, handle);
    entry.intArg[0] = width;
    entry.intArg[1] = height;
    Instance* instance = find(handle);
    if (instance == nullptr || width <= 0 || height <= 0)
        return 1;
    return makeSurface(*instance, width, height) ? 0 : 3;
}

int WINAPI LPLinesCanvasClear(void* handle)
{
    Guard guard;
    log(Call::canvasClear, handle);
    Instance* instance = find(handle);
    if (instance == nullptr)
        return 1;
    if (instance->dc != nullptr)
        PatBlt(instance->dc, 0, 0, instance->width, instance->height, WHITENESS);
    return 0;
}

int WINAPI LPLinesGetCanvasDC(void* handle, HDC* dc)
{
    Guard guard;
    return readField(handle, Call::getCanvasDC, &Instance::dc, dc);
}

int WINAPI LPLinesClear(void* handle)
{
    Guard guard;
    log(Call::clear, handle);
    return writeField(handle, &Instance::hasLast, false);
}

int WINAPI LPLinesLineTo(void* handle, HDC target, float x, float y, float pressure)
{
    Guard guard;
    RecordedCall& entry = log(Call::lineTo, handle);
    entry.dc = target;
    entry.floatArg[0] = x;
    entry.floatArg[1] = y;
    entry.floatArg[2] = pressure;
    Instance* instance = find(handle);
    if (instance == nullptr)
        return 1;
    drawInk(instance->dc, *instance, x, y, pressure);
    drawInk(target, *instance, x, y, pressure);
    instance->hasLast = true;
    instance->lastX = x;
    instance->lastY = y;
    instance->path.push_back({x, y, pressure});
    return 0;
}

int WINAPI LPLinesEnd(void* handle, HDC target)
{
    Guard guard;
    log(Call::end, handle).dc = target;
    return writeField(handle, &Instance::hasLast, false);
}

int WINAPI LPLinesPathClear(void* handle)
{
    Guard guard;
    log(Call::pathClear, handle);
    Instance* instance = find(handle);
    if (instance == nullptr)
        return 1;
    if (state().pathClearResult == 0)
        instance->path.clear();
    return state().pathClearResult;
}

int WINAPI LPLinesPathCount(void* handle, int* count)
{
    Guard guard;
    log(Call::pathCount, handle);
    Instance* instance = find(handle);
    if (instance == nullptr || count == nullptr)
        return 1;
    *count = static_cast<int>(instance->path.size());
    return 0;
}

int WINAPI LPLinesPathPoint(void* handle, int index, recorder::PathPoint* point)
{
    Guard guard;
    log(Call::pathPoint, handle).intArg[0] = index;
    Instance* instance = find(handle);
    if (instance == nullptr || point == nullptr || index < 0
        || static_cast<std::size_t>(index) >= instance->path.size())
        return 1;
    *point = instance->path[static_cast<std::size_t>(index)];
    return 0;
}

// Bound by the canvas library but never called: not logged.
int WINAPI LPLinesSetPressureDoubled(void*, int) { return 0; }
int WINAPI LPLinesGetPressureDoubled(void*, int* doubled)
{
    if (doubled != nullptr)
        *doubled = 0;
    return 0;
}
int WINAPI LPLinesSetTipHardness(void*, float) { return 0; }
int WINAPI LPLinesGetTipHardness(void*, float* hardness)
{
    if (hardness != nullptr)
        *hardness = 1.0f;
    return 0;
}
int WINAPI LPLinesGetCanvasSize(void* handle, int* width, int* height)
{
    Guard guard;
    Instance* instance = find(handle);
    if (instance == nullptr || width == nullptr || height == nullptr)
        return 1;
    *width = instance->width;
    *height = instance->height;
    return 0;
}

int WINAPI RecorderCallCount()
{
    Guard guard;
    return static_cast<int>(state().calls.size());
}

int WINAPI RecorderGetCall(int index, RecordedCall* call)
{
    Guard guard;
    if (call == nullptr || index < 0 || static_cast<std::size_t>(index) >= state().calls.size())
        return 1;
    *call = state().calls[static_cast<std::size_t>(index)];
    return 0;
}

void WINAPI RecorderReset()
{
    Guard guard;
    state().calls.clear();
    state().calls.shrink_to_fit();
    state().failCreates = 0;
    state().failedCreateMakes = false;
    state().pathClearResult = 0;
    state().reportedAlpha = -1;
}

void WINAPI RecorderSetLogging(int on)
{
    Guard guard;
    state().logging = on != 0;
}

void WINAPI RecorderFailCreates(int count)
{
    Guard guard;
    state().failCreates = count;
}

void WINAPI RecorderSetFailedCreateMakes(int on)
{
    Guard guard;
    state().failedCreateMakes = on != 0;
}

void WINAPI RecorderSetPathClearResult(int result)
{
    Guard guard;
    state().pathClearResult = result;
}

void WINAPI RecorderSetReportedAlpha(int alpha)
{
    Guard guard;
    state().reportedAlpha = alpha;
}

int WINAPI RecorderLiveInstances()
{
    Guard guard;
    return static_cast<int>(state().instances.size());
}

} // extern "C"
