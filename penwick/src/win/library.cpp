#include "library.h"

#include "canvas.h"

#include <algorithm>

namespace penwick {

Library& library()
{
    static Library state;
    return state;
}

HINSTANCE libraryInstance()
{
    return library().module;
}

bool isReady()
{
    return library().sdkReady.load() != 0;
}

CanvasPtr createAndRegisterCanvas()
{
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    auto canvas = std::make_shared<Canvas>(++lib.nextCanvasId);
    lib.canvasRegistry.push_back(canvas);
    return canvas;
}

CanvasPtr findCanvasById(std::int32_t id)
{
    if (!isReady())
        return nullptr;
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    for (const CanvasPtr& canvas : lib.canvasRegistry) {
        if (canvas->id == id && !canvas->destroying.load())
            return canvas;
    }
    return nullptr;
}

CanvasPtr findCanvasByWindow(HWND window)
{
    if (!isReady())
        return nullptr;
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    for (const CanvasPtr& canvas : lib.canvasRegistry) {
        if (canvas->window == window && !canvas->windowGone.load())
            return canvas;
    }
    return nullptr;
}

CanvasPtr findLiveCanvas(const Canvas* canvas)
{
    if (canvas == nullptr || !isReady())
        return nullptr;
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    for (const CanvasPtr& item : lib.canvasRegistry) {
        if (item.get() == canvas && !item->destroying.load())
            return item;
    }
    return nullptr;
}

bool windowHasCanvas(HWND window, const Canvas* except)
{
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    return std::any_of(lib.canvasRegistry.begin(), lib.canvasRegistry.end(), [&](const CanvasPtr& canvas) {
        return canvas.get() != except && canvas->window == window && !canvas->destroying.load()
            && !canvas->windowGone.load();
    });
}

void releaseCanvas(Canvas& canvas)
{
    Library& lib = library();
    {
        ScopedLock lock(*lib.drawLock);
        canvas.penWidth = 0.0f;
        canvas.window = nullptr;
        canvas.windowDC = nullptr;
        canvas.surface.release();
        canvas.strokeOpen = 0;
        canvas.drawn = 0;
    }
    ScopedLock lock(*lib.canvasLock);
    const auto entry = std::find_if(lib.canvasRegistry.begin(), lib.canvasRegistry.end(),
                                    [&](const CanvasPtr& item) { return item.get() == &canvas; });
    if (entry != lib.canvasRegistry.end())
        lib.canvasRegistry.erase(entry);
}

CanvasPtr claimCanvasForDestruction(std::int32_t id)
{
    if (!isReady())
        return nullptr;
    Library& lib = library();
    ScopedLock lock(*lib.canvasLock);
    for (const CanvasPtr& canvas : lib.canvasRegistry) {
        if (canvas->id == id && !canvas->destroying.load()) {
            canvas->destroying.store(true);
            return canvas;
        }
    }
    return nullptr;
}

} // namespace penwick
