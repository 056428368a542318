// The ink engine libLPLines, bound by name at run time. Every call goes
// through a wrapper that answers kEngineMissing when the library lacks the
// entry point, so a partial engine never makes us call through null.
#pragma once

#include "handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace penwick {

using EngineHandle = void*;

constexpr int kEngineMissing = -1;

// Exactly as the engine exports them: WINAPI, 0 for success.
struct InkEngineApi {
    using CreateFn = int(WINAPI*)(EngineHandle* handle, int flags);
    using DestroyFn = int(WINAPI*)(EngineHandle handle);
    using SetColorFn = int(WINAPI*)(EngineHandle handle, std::uint32_t color);
    using GetColorFn = int(WINAPI*)(EngineHandle handle, std::uint32_t* color);
    using SetFloatFn = int(WINAPI*)(EngineHandle handle, float value);
    using GetFloatFn = int(WINAPI*)(EngineHandle handle, float* value);
    using SetIntFn = int(WINAPI*)(EngineHandle handle, int value);
    using GetIntFn = int(WINAPI*)(EngineHandle handle, int* value);
    using SetSizeFn = int(WINAPI*)(EngineHandle handle, int width, int height);
    using GetSizeFn = int(WINAPI*)(EngineHandle handle, int* width, int* height);
    using PlainFn = int(WINAPI*)(EngineHandle handle);
    using GetCanvasDCFn = int(WINAPI*)(EngineHandle handle, HDC* dc);
    using LineToFn = int(WINAPI*)(EngineHandle handle, HDC target, float x, float y, float pressure);
    using EndFn = int(WINAPI*)(EngineHandle handle, HDC target);
    using PathPointFn = int(WINAPI*)(EngineHandle handle, int index, void* record);

    CreateFn create = nullptr;
    DestroyFn destroy = nullptr;
    SetColorFn setColor = nullptr;
    GetColorFn getColor = nullptr;
    SetFloatFn setPenWidth = nullptr;
    GetFloatFn getPenWidth = nullptr;
    SetFloatFn setInkFlow = nullptr;
    GetFloatFn getInkFlow = nullptr;
    SetIntFn setQuality = nullptr;
    GetIntFn getQuality = nullptr;
    SetSizeFn setCanvasSize = nullptr;
    PlainFn canvasClear = nullptr;
    GetCanvasDCFn getCanvasDC = nullptr;
    PlainFn clear = nullptr;
    LineToFn lineTo = nullptr;
    EndFn end = nullptr;
    PlainFn pathClear = nullptr;
    GetIntFn pathCount = nullptr;
    PathPointFn pathPoint = nullptr;
    // Bound for completeness; the library never calls them.
    SetIntFn setPressureDoubled = nullptr;
    GetIntFn getPressureDoubled = nullptr;
    SetFloatFn setTipHardness = nullptr;
    GetFloatFn getTipHardness = nullptr;
    GetSizeFn getCanvasSize = nullptr;

    // Looks up all 24 entry points; a missing one stays empty.
    void bind(HMODULE module);
};

class InkEngine {
public:
    // Loads the engine library and binds it. False when it cannot be loaded.
    bool load(const std::wstring& path);
    void unload();

    int create(EngineHandle* handle) const;
    int destroy(EngineHandle handle) const;
    int setColor(EngineHandle handle, std::uint32_t color) const;
    int getColor(EngineHandle handle, std::uint32_t* color) const;
    int setPenWidth(EngineHandle handle, float width) const;
    int getPenWidth(EngineHandle handle, float* width) const;
    int setInkFlow(EngineHandle handle, float flow) const;
    int getInkFlow(EngineHandle handle, float* flow) const;
    int setQuality(EngineHandle handle, int quality) const;
    int getQuality(EngineHandle handle, int* quality) const;
    int setCanvasSize(EngineHandle handle, int width, int height) const;
    int canvasClear(EngineHandle handle) const;
    // The engine's own surface, or null when it has none to give.
    HDC canvasDC(EngineHandle handle) const;
    int getCanvasDC(EngineHandle handle, HDC* dc) const;
    int clear(EngineHandle handle) const;
    int lineTo(EngineHandle handle, HDC target, float x, float y, float pressure) const;
    int end(EngineHandle handle, HDC target) const;
    int pathClear(EngineHandle handle) const;
    int pathCount(EngineHandle handle, int* count) const;
    int pathPoint(EngineHandle handle, int index, void* record) const;

private:
    UniqueModule module_;
    InkEngineApi api_;
};

// One engine instance, destroyed through the engine that made it.
class EngineInstance {
public:
    EngineInstance() = default;
    ~EngineInstance() { reset(); }
    EngineInstance(const EngineInstance&) = delete;
    EngineInstance& operator=(const EngineInstance&) = delete;

    // Creates an instance; stays empty when the engine cannot make one.
    void create(const InkEngine& engine);
    void reset();
    EngineHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    const InkEngine* engine_ = nullptr;
    EngineHandle handle_ = nullptr;
};

} // namespace penwick
