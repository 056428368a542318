#include "canvas.h"

#include "draw_thread.h"
#include "ink_renderer.h"
#include "library.h"

#include <algorithm>

namespace penwick {

namespace {

const InkEngine& engine() { return library().inkEngine; }

RECT toRECT(const IntRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void fillArea(HDC target, const IntRect& area, HBRUSH brush)
{
    if (target == nullptr || brush == nullptr || area.isEmpty())
        return;
    const RECT rect = toRECT(area);
    FillRect(target, &rect, brush);
}

void createEngine(EngineInstance& instance, const Canvas& canvas)
{
    instance.create(engine());
    if (!instance)
        return;
    engine().setPenWidth(instance.get(), canvas.penWidth);
    engine().setColor(instance.get(), canvas.color);
}

void paintFromSurface(Canvas& canvas)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(canvas.window, &paint);
    {
        ScopedLock lock(library().drawLock);
        copyArea(dc, canvas.memDC(), canvas.clientRect);
    }
    EndPaint(canvas.window, &paint);
}

void copySurfaceToWindow(Canvas& canvas)
{
    ScopedLock lock(library().drawLock);
    if (!canvas.isAutoPaint())
        return;
    const CanvasWindowDC windowDC(canvas);
    copyArea(windowDC.get(), canvas.memDC(), canvas.clientRect);
}

// On the window's own thread. A capture asked for by a canvas that is going
// (or by an earlier canvas of the window, whose request came late) is not
// taken: nothing would release it.
void handleCaptureRequest(const Canvas& canvas, HWND window, WPARAM capture, LPARAM canvasId)
{
    if (capture == 0) {
        if (GetCapture() == window)
            ReleaseCapture();
    } else if (canvasId == canvas.id && !canvas.destroying.load()) {
        SetCapture(window);
    }
}

bool isOwnThreadsWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The drawing thread's requests to release the capture may still be in
// the window's queue, where the host's own procedure would get them.
void releaseMouseCapture(const Canvas& canvas, Ending ending)
{
    if (canvas.window == nullptr || canvas.windowGone.load())
        return;
    if (isOwnThreadsWindow(canvas.window)) {
        if (GetCapture() == canvas.window)
            ReleaseCapture();
    } else if (ending == Ending::byCall) {
        // Only the window's thread can release it, through the canvas's
        // procedure, which is still installed.
        constexpr UINT kWaitForOwnerMs = 500;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(canvas.window, canvasCaptureMessage(), 0, canvas.id, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kWaitForOwnerMs, &ignored);
    }
}

bool isThisProcessesWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

} // namespace

CanvasWindowDC::CanvasWindowDC(const Canvas& canvas)
    : hostDC_(canvas.isAutoPaint() && canvas.windowDC != nullptr && WindowFromDC(canvas.windowDC) != canvas.window
                  ? canvas.windowDC
                  : nullptr),
      ownDC_(hostDC_ != nullptr ? nullptr : canvas.window)
{
}

bool copyArea(HDC target, HDC source, const IntRect& area)
{
    if (target == nullptr || source == nullptr || area.isEmpty())
        return false;
    return BitBlt(target, area.left, area.top, area.width(), area.height(), source, area.left, area.top,
                  SRCCOPY) != FALSE;
}

bool attachCanvas(Canvas& canvas, HDC dc, HWND fallbackWindow)
{
    Library& lib = library();
    canvas.windowDC = dc;
    HWND window = dc != nullptr ? WindowFromDC(dc) : nullptr;
    if (window == nullptr)
        window = fallbackWindow;
    // Another process's window (the desktop's, for one) cannot be
    // subclassed.
    if (window == nullptr || !IsWindow(window) || !isThisProcessesWindow(window))
        return false;
    // Look-ups by window would only ever find the older canvas.
    if (windowHasCanvas(window, &canvas))
        return false;
    canvas.window = window;

    canvas.hostWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (canvas.hostWndProc == nullptr
        || SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(canvasWndProc)) == 0) {
        canvas.window = nullptr;
        return false;
    }
    if (lib.registerTouchWindow != nullptr)
        lib.registerTouchWindow(window, 0);
    {
        ScopedLock lock(lib.drawLock);
        createEngine(canvas.mainEngine, canvas);
        createEngine(canvas.previewEngine, canvas);
        canvas.fillBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));
        resizeSurface(canvas);
    }
    if (!canvas.drawThread)
        startDrawThread(canvas);
    return true;
}

void detachCanvas(Canvas& canvas, Ending ending)
{
    Library& lib = library();
    stopDrawThread(canvas, ending);
    if (canvas.detached)
        return;   // a detach nested in the wait above did it all
    canvas.detached = true;
    if (lib.unregisterTouchWindow != nullptr && canvas.window != nullptr)
        lib.unregisterTouchWindow(canvas.window);
    releaseMouseCapture(canvas, ending);
    {
        ScopedLock lock(lib.drawLock);
        canvas.surface.release();
        canvas.mainEngine.reset();
        canvas.previewEngine.reset();
        canvas.fillBrush.reset();
        canvas.windowDC = nullptr;
    }
    Canvas* expected = &canvas;
    lib.activeCanvas.compare_exchange_strong(expected, nullptr);
    if (canvas.window != nullptr && canvas.hostWndProc != nullptr && !canvas.windowGone.load())
        SetWindowLongPtrW(canvas.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(canvas.hostWndProc));
}

void resizeSurface(Canvas& canvas)
{
    ScopedLock lock(library().drawLock);
    if (canvas.destroying.load())
        return;   // its surface is being freed, not rebuilt
    const IntRect previousClient = canvas.clientRect;
    RECT client{};
    GetClientRect(canvas.window, &client);
    canvas.clientRect = {client.left, client.top, client.right, client.bottom};
    const int width = canvas.clientRect.width();
    const int height = canvas.clientRect.height();
    if (width <= 0 || height <= 0)
        return;
    const int surfaceWidth = std::max(canvas.surfaceWidth, width);
    const int surfaceHeight = std::max(canvas.surfaceHeight, height);
    canvas.forEachEngine([&](EngineHandle handle) { engine().setCanvasSize(handle, width, height); });

    const CanvasWindowDC windowDC(canvas);
    // A memory DC given by the host may hold a monochrome bitmap; a DC of
    // the window always has the display's format.
    const WindowDC displayDC(canvas.window);
    MemorySurface fresh(displayDC.get(), surfaceWidth, surfaceHeight);
    if (!fresh)
        return;   // keep the old surface rather than none
    fillArea(fresh.dc(), canvas.clientRect, canvas.fillBrush.get());
    // What the window shows goes onto the surface, but only where it
    // showed something before: the part a resize has just uncovered is not
    // painted yet, and copying it would put garbage over the white fill and
    // over what the surface kept from a larger size.
    IntRect shown = canvas.clientRect;
    if (canvas.surface) {
        BitBlt(fresh.dc(), 0, 0, canvas.surfaceWidth, canvas.surfaceHeight, canvas.surface.dc(), 0, 0, SRCCOPY);
        shown = intersected(previousClient, canvas.clientRect);
    }
    copyArea(fresh.dc(), windowDC.get(), shown);

    canvas.surface = std::move(fresh);
    canvas.surfaceWidth = surfaceWidth;
    canvas.surfaceHeight = surfaceHeight;
    canvas.drawn = 0;
}

void clearCanvas(Canvas& canvas)
{
    ScopedLock lock(library().drawLock);
    canvas.forEachEngine([](EngineHandle handle) { engine().canvasClear(handle); });
    fillArea(canvas.memDC(), canvas.clientRect, canvas.fillBrush.get());
    if (canvas.isAutoPaint()) {
        const CanvasWindowDC windowDC(canvas);
        fillArea(windowDC.get(), canvas.clientRect, canvas.fillBrush.get());
    }
    canvas.drawnRect = {};
    canvas.drawn = 0;
    // The next point shows the window what a copy of the whole surface
    // would show.
    canvas.dirty.add(canvas.clientRect);
}

void updateCanvas(Canvas& canvas)
{
    ScopedLock lock(library().drawLock);
    if (canvas.memDC() == nullptr)
        return;
    const CanvasWindowDC windowDC(canvas);
    copyArea(canvas.memDC(), windowDC.get(), canvas.clientRect);
}

void setCanvasAutoPaint(Canvas& canvas, std::int32_t autoPaint)
{
    ScopedLock lock(library().drawLock);
    const std::int32_t mode = autoPaint != 0 ? 1 : 0;
    // Host-paint mode keeps no DC of the host's between operations; back in
    // auto-paint mode the library reaches the window through its own.
    if (mode == 0)
        canvas.windowDC = nullptr;
    canvas.autoPaint.store(mode);
}

LRESULT CALLBACK canvasWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CanvasPtr canvas = findCanvasByWindow(window);
    if (!canvas)
        return 0;
    if (message == canvasCaptureMessage()) {
        handleCaptureRequest(*canvas, window, wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_SIZE:
        resizeSurface(*canvas);
        break;
    case WM_PAINT:
        if (isReady() && canvas->isAutoPaint())
            paintFromSurface(*canvas);
        break;
    case WM_WINDOWPOSCHANGED:
        if (isReady())
            copySurfaceToWindow(*canvas);
        break;
    case WM_MOUSEMOVE:
    case WM_IME_SETCONTEXT:
        library().activeCanvas.store(canvas.get());
        break;
    case WM_NCDESTROY:
        canvas->windowGone.store(true);
        break;
    default:
        break;
    }

    LRESULT result = 0;
    {
        const NotificationScope scope(canvas.get(), message);
        result = CallWindowProcW(canvas->hostWndProc, window, message, wParam, lParam);
    }
    // A host painting over the window in the middle of a stroke is painted
    // over again with the whole surface at the next point, as a copy of
    // the whole client area at every point would do.
    if (message == WM_PAINT && !canvas->isAutoPaint() && isReady() && !canvas->destroying.load()) {
        ScopedLock lock(library().drawLock);
        if (canvas->strokeOpen)
            canvas->dirty.add(canvas->clientRect);
    }
    return result;
}

} // namespace penwick
