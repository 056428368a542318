// The 21 functions the host calls. Each looks its canvas up, checks its
// output pointers and works under drawLock, so it never meets a point
// being rendered half-way.
#define PENWICK_API
#include <penwick.h>

#include "../core/colour.h"
#include "canvas.h"
#include "library.h"
#include "sdk.h"

#include <cmath>

using namespace penwick;

namespace {

const InkEngine& engine() { return library().inkEngine; }

enum class Needs { engine, nothing };

// Runs `work` on the canvas with this id under drawLock: 1 when there is no
// such canvas (or the library is not ready); 0 without running it when the
// work needs the engine and the canvas has none.
template <typename Work>
int withCanvas(int canvasId, Needs needs, Work work)
{
    const LifecycleLock guard;
    const CanvasPtr canvas = findCanvasById(canvasId);
    if (!canvas)
        return 1;
    ScopedLock lock(library().drawLock);
    if (needs == Needs::engine && !canvas->mainEngine)
        return 0;
    work(*canvas);
    return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        makeLibraryState();
    if (reason != DLL_PROCESS_DETACH) {
        library().module = instance;
        return TRUE;
    }
    // `reserved` is set when the process ends: its other threads are gone
    // and the system takes everything back; nothing is touched then.
    // Otherwise the host unloads the library, perhaps without the final
    // UninitSDK: nothing of it may keep running.
    if (reserved == nullptr) {
        endAtUnload();
        destroyLibraryState();
    }
    return TRUE;
}

extern "C" {

int WINAPI InitSDK(void)
{
    return initSdk();
}

int WINAPI UninitSDK(void)
{
    return uninitSdk();
}

int WINAPI InitCanvas(HDC dc, HWND fallbackWindow, int* canvasId)
{
    if (canvasId == nullptr)
        return 1;
    *canvasId = -1;
    const LifecycleLock guard;
    if (!isReady() || isShuttingDown())
        return 1;
    const CanvasPtr canvas = createAndRegisterCanvas();
    if (!attachCanvas(*canvas, dc, fallbackWindow)) {
        releaseCanvas(*canvas);
        return 1;
    }
    *canvasId = canvas->id;
    return 0;
}

int WINAPI DestroyCanvas(int canvasId)
{
    const LifecycleLock guard;
    const CanvasPtr canvas = claimCanvasForDestruction(canvasId);
    if (!canvas)
        return 1;
    detachCanvas(*canvas, Ending::byCall);
    releaseCanvas(*canvas);
    return 0;
}

int WINAPI SetPenWidth(int canvasId, float width)
{
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        if (!(width >= 1.0f && width <= 50.0f))
            return;
        canvas.penWidth = width;
        canvas.forEachEngine([&](EngineHandle handle) { engine().setPenWidth(handle, width); });
    });
}

int WINAPI GetPenWidth(int canvasId, float* width)
{
    if (width == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        engine().getPenWidth(canvas.mainEngine.get(), &canvas.penWidth);
        *width = std::trunc(canvas.penWidth);
    });
}

int WINAPI SetPenColor(int canvasId, COLORREF color)
{
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        canvas.color = engineColorWithRgb(canvas.color, color);
        canvas.forEachEngine([&](EngineHandle handle) { engine().setColor(handle, canvas.color); });
    });
}

int WINAPI GetPenColor(int canvasId, COLORREF* color)
{
    if (color == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        engine().getColor(canvas.mainEngine.get(), &canvas.color);
        *color = colorrefFromEngineColor(canvas.color);
    });
}

int WINAPI CanvasClear(int canvasId)
{
    return withCanvas(canvasId, Needs::engine, [](Canvas& canvas) { clearCanvas(canvas); });
}

int WINAPI GetCanvasDrawedRect(int canvasId, int* left, int* right, int* top, int* bottom)
{
    if (left == nullptr || right == nullptr || top == nullptr || bottom == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        const DrawnRectReport report = growDrawnRect(canvas.drawnRect, canvas.penWidth);
        *left = report.left;
        *right = report.right;
        *top = report.top;
        *bottom = report.bottom;
    });
}

int WINAPI UpdateCanvas(int canvasId)
{
    return withCanvas(canvasId, Needs::engine, [](Canvas& canvas) { updateCanvas(canvas); });
}

int WINAPI GetCanvasDC(int canvasId, HDC* dc)
{
    if (dc == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine,
                      [&](Canvas& canvas) { engine().getCanvasDC(canvas.mainEngine.get(), dc); });
}

int WINAPI SetCanvasInkFlow(int canvasId, float inkFlow)
{
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        // Not a number is no flow: the engine ignores it, and a flow never
        // equal to the open stroke's would keep the preview off for good.
        if (std::isnan(inkFlow))
            return;
        canvas.inkFlow = inkFlow;
        canvas.forEachEngine([&](EngineHandle handle) { engine().setInkFlow(handle, inkFlow); });
    });
}

int WINAPI GetCanvasInkFlow(int canvasId, float* inkFlow)
{
    if (inkFlow == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        engine().getInkFlow(canvas.mainEngine.get(), inkFlow);
        canvas.inkFlow = *inkFlow;
    });
}

int WINAPI SetDrawQuality(int canvasId, int quality)
{
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        canvas.quality = quality;
        canvas.forEachEngine([&](EngineHandle handle) { engine().setQuality(handle, quality); });
    });
}

int WINAPI GetDrawQuality(int canvasId, int* quality)
{
    if (quality == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine, [&](Canvas& canvas) {
        engine().getQuality(canvas.mainEngine.get(), &canvas.quality);
        *quality = canvas.quality;
    });
}

int WINAPI GetDrawPathCount(int canvasId, int* count)
{
    if (count == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine,
                      [&](Canvas& canvas) { engine().pathCount(canvas.mainEngine.get(), count); });
}

int WINAPI GetDrawPathPoint(int canvasId, int index, void* point)
{
    if (point == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::engine,
                      [&](Canvas& canvas) { engine().pathPoint(canvas.mainEngine.get(), index, point); });
}

int WINAPI DrawPathClear(int canvasId)
{
    return withCanvas(canvasId, Needs::engine, [](Canvas& canvas) {
        if (canvas.previewEngine)
            engine().pathClear(canvas.previewEngine.get());
        if (engine().pathClear(canvas.mainEngine.get()) != 0)
            return;
        canvas.drawnRect = {};
        canvas.drawn = 0;
    });
}

int WINAPI SetCanvasAutoPaint(int canvasId, int autoPaint)
{
    return withCanvas(canvasId, Needs::nothing,
                      [&](Canvas& canvas) { setCanvasAutoPaint(canvas, autoPaint); });
}

int WINAPI IsCanvasDrawed(int canvasId, int* drawn)
{
    if (drawn == nullptr)
        return 1;
    return withCanvas(canvasId, Needs::nothing, [&](Canvas& canvas) { *drawn = canvas.drawn; });
}

} // extern "C"
