#include "library.h"

#include "canvas.h"

#include <algorithm>
#include <new>

namespace penwick {

namespace {

alignas(Library) unsigned char libraryStorage[sizeof(Library)];
Library* libraryState = nullptr;

} // namespace

void makeLibraryState()
{
    // Placed in static storage, so that no destructor is registered for
    // it; made by the DLL entry point, before any other code of ours runs,
    // so that no first-use guard of the C++ runtime is needed either.
    if (libraryState == nullptr)
        libraryState = new (libraryStorage) Library();
}

Library& library()
{
    return *libraryState;
}

void destroyLibraryState()
{
    if (libraryState != nullptr)
        libraryState->~Library();
    libraryState = nullptr;
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
    ScopedLock lock(lib.canvasLock);
    auto canvas = std::make_shared<Canvas>(++lib.nextCanvasId);
    lib.canvasRegistry.push_back(canvas);
    return canvas;
}

namespace {

// The first registered canvas that `match` accepts (it runs under
// canvasLock); none while the library is not ready.
template <typename Match>
CanvasPtr firstCanvas(Match match)
{
    if (!isReady())
        return nullptr;
    Library& lib = library();
    ScopedLock lock(lib.canvasLock);
    for (const CanvasPtr& canvas : lib.canvasRegistry) {
        if (match(*canvas))
            return canvas;
    }
    return nullptr;
}

} // namespace

CanvasPtr findCanvasById(std::int32_t id)
{
    return firstCanvas([&](const Canvas& canvas) { return canvas.id == id && !canvas.destroying.load(); });
}

CanvasPtr findCanvasByWindow(HWND window)
{
    return firstCanvas(
        [&](const Canvas& canvas) { return canvas.window == window && !canvas.windowGone.load(); });
}

CanvasPtr findLiveCanvas(const Canvas* canvas)
{
    return firstCanvas([&](const Canvas& item) { return &item == canvas && !item.destroying.load(); });
}

bool windowHasCanvas(HWND window, const Canvas* except)
{
    return firstCanvas([&](const Canvas& canvas) {
               return &canvas != except && canvas.window == window && !canvas.destroying.load()
                   && !canvas.windowGone.load();
           })
        != nullptr;
}

void releaseCanvas(Canvas& canvas)
{
    Library& lib = library();
    {
        ScopedLock lock(lib.drawLock);
        canvas.penWidth = 0.0f;
        canvas.window = nullptr;
        canvas.windowDC = nullptr;
        canvas.surface.release();
        canvas.strokeOpen = 0;
        canvas.drawn = 0;
    }
    ScopedLock lock(lib.canvasLock);
    const auto entry = std::find_if(lib.canvasRegistry.begin(), lib.canvasRegistry.end(),
                                    [&](const CanvasPtr& item) { return item.get() == &canvas; });
    if (entry != lib.canvasRegistry.end())
        lib.canvasRegistry.erase(entry);
}

CanvasPtr claimCanvasForDestruction(std::int32_t id)
{
    // Marked under canvasLock, so that only one caller ever claims it.
    return firstCanvas([&](Canvas& canvas) { return canvas.id == id && !canvas.destroying.exchange(true); });
}

} // namespace penwick
