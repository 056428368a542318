#include "ink_engine.h"

namespace penwick {

namespace {

template <typename Fn, typename... Args>
int call(Fn entry, Args... args)
{
    return entry != nullptr ? entry(args...) : kEngineMissing;
}

} // namespace

void InkEngineApi::bind(HMODULE module)
{
    *this = InkEngineApi{};
    if (module == nullptr)
        return;
    lookUpEntry(module, "LPLinesCreate", create);
    lookUpEntry(module, "LPLinesDestroy", destroy);
    lookUpEntry(module, "LPLinesSetColor", setColor);
    lookUpEntry(module, "LPLinesGetColor", getColor);
    lookUpEntry(module, "LPLinesSetPenWidth", setPenWidth);
    lookUpEntry(module, "LPLinesGetPenWidth", getPenWidth);
    lookUpEntry(module, "LPLinesSetInkFlow", setInkFlow);
    lookUpEntry(module, "LPLinesGetInkFlow", getInkFlow);
    lookUpEntry(module, "LPLinesSetQuality", setQuality);
    lookUpEntry(module, "LPLinesGetQuality", getQuality);
    lookUpEntry(module, "LPLinesSetCanvasSize", setCanvasSize);
    lookUpEntry(module, "LPLinesCanvasClear", canvasClear);
    if (!lookUpEntry(module, "LPLinesGetCanvasDC", getCanvasDC))
        lookUpEntry(module, "_LPLinesGetCanvasDC@8", getCanvasDC);
    lookUpEntry(module, "LPLinesClear", clear);
    lookUpEntry(module, "LPLinesLineTo", lineTo);
    lookUpEntry(module, "LPLinesEnd", end);
    lookUpEntry(module, "LPLinesPathClear", pathClear);
    lookUpEntry(module, "LPLinesPathCount", pathCount);
    lookUpEntry(module, "LPLinesPathPoint", pathPoint);
    lookUpEntry(module, "LPLinesSetPressureDoubled", setPressureDoubled);
    lookUpEntry(module, "LPLinesGetPressureDoubled", getPressureDoubled);
    lookUpEntry(module, "LPLinesSetTipHardness", setTipHardness);
    lookUpEntry(module, "LPLinesGetTipHardness", getTipHardness);
    lookUpEntry(module, "LPLinesGetCanvasSize", getCanvasSize);
}

bool InkEngine::load(const std::wstring& path)
{
    unload();
    // A full path lets the engine's own dependencies come from its folder.
    const DWORD flags = path.find(L'\\') != std::wstring::npos ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    module_.reset(LoadLibraryExW(path.c_str(), nullptr, flags));
    if (!module_)
        return false;
    api_.bind(module_.get());
    return true;
}

void InkEngine::unload()
{
    api_ = InkEngineApi{};
    module_.reset();
}

int InkEngine::create(EngineHandle* handle) const { return call(api_.create, handle, 0); }
int InkEngine::destroy(EngineHandle handle) const { return call(api_.destroy, handle); }
int InkEngine::setColor(EngineHandle handle, std::uint32_t color) const { return call(api_.setColor, handle, color); }
int InkEngine::getColor(EngineHandle handle, std::uint32_t* color) const { return call(api_.getColor, handle, color); }
int InkEngine::setPenWidth(EngineHandle handle, float width) const { return call(api_.setPenWidth, handle, width); }
int InkEngine::getPenWidth(EngineHandle handle, float* width) const { return call(api_.getPenWidth, handle, width); }
int InkEngine::setInkFlow(EngineHandle handle, float flow) const { return call(api_.setInkFlow, handle, flow); }
int InkEngine::getInkFlow(EngineHandle handle, float* flow) const { return call(api_.getInkFlow, handle, flow); }
int InkEngine::setQuality(EngineHandle handle, int quality) const { return call(api_.setQuality, handle, quality); }
int InkEngine::getQuality(EngineHandle handle, int* quality) const { return call(api_.getQuality, handle, quality); }
int InkEngine::setCanvasSize(EngineHandle handle, int width, int height) const
{
    return call(api_.setCanvasSize, handle, width, height);
}
int InkEngine::canvasClear(EngineHandle handle) const { return call(api_.canvasClear, handle); }
int InkEngine::getCanvasDC(EngineHandle handle, HDC* dc) const { return call(api_.getCanvasDC, handle, dc); }
int InkEngine::clear(EngineHandle handle) const { return call(api_.clear, handle); }
int InkEngine::lineTo(EngineHandle handle, HDC target, float x, float y, float pressure) const
{
    return call(api_.lineTo, handle, target, x, y, pressure);
}
int InkEngine::end(EngineHandle handle, HDC target) const { return call(api_.end, handle, target); }
int InkEngine::pathClear(EngineHandle handle) const { return call(api_.pathClear, handle); }
int InkEngine::pathCount(EngineHandle handle, int* count) const { return call(api_.pathCount, handle, count); }
int InkEngine::pathPoint(EngineHandle handle, int index, void* record) const
{
    return call(api_.pathPoint, handle, index, record);
}

HDC InkEngine::canvasDC(EngineHandle handle) const
{
    HDC dc = nullptr;
    if (getCanvasDC(handle, &dc) != 0)
        return nullptr;
    return dc;
}

void EngineInstance::create(const InkEngine& engine)
{
    reset();
    EngineHandle handle = nullptr;
    const int result = engine.create(&handle);
    if (result != 0 && handle != nullptr)
        engine.destroy(handle);   // what a failed create made is not ours to keep
    if (result != 0 || handle == nullptr)
        return;
    engine_ = &engine;
    handle_ = handle;
}

void EngineInstance::reset()
{
    if (handle_ != nullptr && engine_ != nullptr)
        engine_->destroy(handle_);
    handle_ = nullptr;
    engine_ = nullptr;
}

} // namespace penwick
