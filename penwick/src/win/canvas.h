// A canvas: one host window bound to an offscreen surface, two ink engine
// instances and a drawing thread.
#pragma once

#include "../core/geometry.h"
#include "../core/stroke_capture.h"
#include "ending.h"
#include "handles.h"
#include "ink_engine.h"

#include <penwick.h>
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace penwick {

// threadState
constexpr std::int32_t kThreadIdle = 1;
constexpr std::int32_t kThreadRunning = 2;
constexpr std::int32_t kThreadStopRequested = 3;
constexpr std::int32_t kThreadStopped = 4;

struct Canvas {
    explicit Canvas(std::int32_t canvasId) : id(canvasId) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC memDC() const { return surface.dc(); }
    bool isAutoPaint() const { return autoPaint.load() != 0; }

    // The engine instances there are, in the order every setter uses:
    // main, then preview.
    template <typename Call>
    void forEachEngine(Call call) const
    {
        if (mainEngine)
            call(mainEngine.get());
        if (previewEngine)
            call(previewEngine.get());
    }

    const std::int32_t id;
    HWND window = nullptr;
    WNDPROC hostWndProc = nullptr;
    HDC windowDC = nullptr;       // the host's, from InitCanvas; auto-paint mode only
    IntRect drawnRect;
    MemorySurface surface;        // memDC and memBitmap
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    IntRect clientRect;
    GdiObject<HBRUSH> fillBrush;
    // Closed with the record, not when the thread stops: a stop nested in
    // another one's wait (a shut-down made by the host's handler while
    // DestroyCanvas waits) must leave the outer one a handle to wait on.
    UniqueHandle drawThread;
    UniqueHandle threadStopped;   // set by the thread once it holds nothing
    UniqueHandle threadMayExit;   // set by whoever stops it (draw_thread.cpp)
    std::atomic<std::int32_t> threadState{kThreadIdle};
    std::atomic<bool> tabletActive{false};
    std::atomic<std::uint32_t> lastTabletTick{0};
    std::int32_t penState = kPenStateUp;   // the drawing thread's alone
    EngineInstance mainEngine;
    EngineInstance previewEngine;
    std::int32_t strokeOpen = 0;
    std::int32_t quality = 0;
    float inkFlow = 1.0f;
    float penWidth = 6.0f;
    std::uint32_t color = 0xFF000000u;     // 0xAARRGGBB
    std::int32_t drawn = 0;
    std::atomic<std::int32_t> autoPaint{1};

    // Fields below are the library's bookkeeping around the record. Unless
    // marked atomic, they and the rendering fields above are used under
    // drawLock once the drawing thread runs.
    std::atomic<bool> destroying{false};   // DestroyCanvas or shut-down has claimed it
    bool detached = false;                 // detachCanvas has let go of everything
    std::atomic<bool> windowGone{false};   // the window was destroyed under the canvas
    std::atomic<bool> notifying{false};    // the drawing thread is sending WM_CANVAS_STROKE
    StrokeTrail trail;                     // the stroke's last points on mainEngine
    IntRect strokeArea;                    // all the open stroke and its previews touched
    IntRect previewArea;                   // what the last preview touched
    std::uint32_t strokeColor = 0;         // colour and ink flow the open stroke began with
    float strokeInkFlow = 0.0f;
    DirtyArea dirty;                       // surface changes not yet in the window
};

// The window of `dc` (or `fallbackWindow`), subclassed, with its engines,
// surface and drawing thread. False, with nothing started, when there is
// no such window or it cannot be subclassed (another process's).
bool attachCanvas(Canvas& canvas, HDC dc, HWND fallbackWindow);
// Stops the drawing thread, frees what attach made and gives the window its
// procedure back, leaving the mouse neither captured nor clipped. Nested
// calls for the same canvas (from a handler that runs while the first one
// waits for the drawing thread) are safe: the innermost does the work.
void detachCanvas(Canvas& canvas, Ending ending);

// Follows the window's client size; the surface only ever grows.
void resizeSurface(Canvas& canvas);

void clearCanvas(Canvas& canvas);
void updateCanvas(Canvas& canvas);
void setCanvasAutoPaint(Canvas& canvas, std::int32_t autoPaint);

// Copies the surface's changed area to the window.
void presentChanges(Canvas& canvas);

// The DC through which an operation reaches the window: the host's, when
// it gave one that is not a DC of the window (a memory DC of its own);
// otherwise one of the library's own that honours the window's clipping
// styles, never the host's own DC, which the host's thread may be using
// at the same moment (GDI refuses a DC in use by another thread).
class CanvasWindowDC {
public:
    explicit CanvasWindowDC(const Canvas& canvas);
    HDC get() const { return hostDC_ != nullptr ? hostDC_ : ownDC_.get(); }

private:
    HDC hostDC_ = nullptr;
    WindowDC ownDC_;
};

// Copies `area` from `source` to the same place in `target`; false when
// nothing was copied.
bool copyArea(HDC target, HDC source, const IntRect& area);

LRESULT CALLBACK canvasWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace penwick
