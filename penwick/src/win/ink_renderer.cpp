#include "ink_renderer.h"

#include "library.h"

#include <algorithm>

namespace penwick {

namespace {

const InkEngine& engine() { return library().inkEngine; }

LPARAM packScreenPosition(int x, int y)
{
    const auto low = static_cast<std::uint32_t>(x) & 0xFFFFu;
    const auto high = static_cast<std::uint32_t>(y) & 0xFFFFu;
    return static_cast<LPARAM>(low | (high << 16));
}

void notify(Canvas& canvas, InkPoint& point, WPARAM strokeEdge, PendingNotifications& notifications)
{
    POINT screen{point.x, point.y};
    ClientToScreen(canvas.window, &screen);
    point.x = screen.x;
    point.y = screen.y;
    notifications.add({canvas.window, strokeEdge, packScreenPosition(screen.x, screen.y)});
}

void markChanged(Canvas& canvas, const IntRect& area)
{
    canvas.strokeArea = united(canvas.strokeArea, area);
    canvas.dirty.add(area);
}

// Every inked point grows the drawn rectangle.
void inkTo(Canvas& canvas, const InkPoint& point)
{
    extendDrawnRect(canvas.drawnRect, canvas.drawn != 0, point.x, point.y, canvas.clientRect);
    canvas.trail.add({point.x, point.y, point.pressure});
    engine().lineTo(canvas.mainEngine.get(), canvas.memDC(), static_cast<float>(point.x),
                    static_cast<float>(point.y), point.pressure);
    markChanged(canvas, canvas.trail.inkArea(canvas.penWidth));
}

// Ending a stroke repaints everything it and its previews touched, from
// the picture under it with its own ink only.
void endStrokeOnEngine(Canvas& canvas)
{
    engine().end(canvas.mainEngine.get(), canvas.memDC());
    markChanged(canvas, canvas.trail.inkArea(canvas.penWidth));
    canvas.dirty.add(canvas.strokeArea);
    canvas.strokeArea = {};
    canvas.previewArea = {};
}

// Host-paint mode: what the host painted lies under the stroke.
void captureHostPainting(Canvas& canvas)
{
    const CanvasWindowDC windowDC(canvas);
    copyArea(canvas.memDC(), windowDC.get(), canvas.clientRect);
    copyArea(engine().canvasDC(canvas.mainEngine.get()), canvas.memDC(), canvas.clientRect);
}

void beginStroke(Canvas& canvas, InkPoint& point, PendingNotifications& notifications)
{
    if (canvas.strokeOpen)
        endStrokeOnEngine(canvas);
    canvas.strokeOpen = 1;
    canvas.strokeColor = canvas.color;
    canvas.strokeInkFlow = canvas.inkFlow;
    canvas.forEachEngine([&](EngineHandle handle) { engine().setInkFlow(handle, canvas.inkFlow); });
    engine().clear(canvas.mainEngine.get());
    if (!canvas.isAutoPaint())
        captureHostPainting(canvas);
    canvas.trail.restart();
    inkTo(canvas, point);
    canvas.drawn = 1;
    notify(canvas, point, 0, notifications);
}

void finishStroke(Canvas& canvas, InkPoint& point, PendingNotifications& notifications)
{
    inkTo(canvas, point);
    endStrokeOnEngine(canvas);
    notify(canvas, point, 1, notifications);
    canvas.strokeOpen = 0;
}

} // namespace

int processInkPoint(InkPoint* point, Canvas& canvas, PendingNotifications& notifications)
{
    if (point == nullptr || !canvas.mainEngine)
        return 0;
    POINT client{point->x, point->y};
    ScreenToClient(canvas.window, &client);
    point->x = client.x;
    point->y = client.y;
    if (point->kind != InkKind::penUp && !canvas.clientRect.contains(point->x, point->y))
        return 0;

    switch (point->kind) {
    case InkKind::penDown:
        beginStroke(canvas, *point, notifications);
        break;
    case InkKind::move:
        if (canvas.strokeOpen)
            inkTo(canvas, *point);
        break;
    case InkKind::penUp:
        if (canvas.strokeOpen)
            finishStroke(canvas, *point, notifications);
        break;
    case InkKind::none:
        break;
    }
    point->pending = 0;
    return 1;
}

bool canDrawPreview(const Canvas& canvas)
{
    return canvas.previewEngine && canvas.mainEngine && canvas.memDC() != nullptr;
}

void drawPreview(Canvas& canvas, const PreviewPlan& plan)
{
    if (!canDrawPreview(canvas))
        return;
    // The engine composes a preview with the open stroke as one ink only
    // when both have the same colour and flow; without an open stroke the
    // preview would stay on the surface for good.
    if (!canvas.strokeOpen || canvas.color != canvas.strokeColor || canvas.inkFlow != canvas.strokeInkFlow)
        return;

    POINT origin{0, 0};
    ClientToScreen(canvas.window, &origin);
    std::array<InkSpot, PointQueue::kCapacity + 1> spots{};
    std::size_t count = 0;
    spots[count++] = {plan.start.x - origin.x, plan.start.y - origin.y, plan.start.pressure};
    for (std::size_t i = 0; i < plan.count; ++i)
        spots[count++] = {plan.points[i].x - origin.x, plan.points[i].y - origin.y, plan.points[i].pressure};

    // The preview only inks near its points: only that area of the main
    // surface needs to go under it, and only that area comes back.
    const IntRect area = intersected(inkBounds(spots.data(), count, canvas.penWidth), canvas.clientRect);
    const EngineHandle preview = canvas.previewEngine.get();
    engine().setInkFlow(preview, canvas.inkFlow);
    engine().clear(preview);
    const HDC previewDC = engine().canvasDC(preview);
    const HDC mainDC = engine().canvasDC(canvas.mainEngine.get());
    copyArea(previewDC, mainDC, area);
    for (std::size_t i = 0; i < count; ++i) {
        engine().lineTo(preview, canvas.memDC(), static_cast<float>(spots[i].x),
                        static_cast<float>(spots[i].y), spots[i].pressure);
    }
    engine().end(preview, canvas.memDC());
    copyArea(mainDC, previewDC, area);

    // A new preview replaces the last one.
    markChanged(canvas, united(area, canvas.previewArea));
    canvas.previewArea = area;
}

void presentChanges(Canvas& canvas)
{
    const IntRect area = canvas.dirty.take(canvas.clientRect);
    if (area.isEmpty() || canvas.memDC() == nullptr)
        return;
    const CanvasWindowDC windowDC(canvas);
    const bool copied = copyArea(windowDC.get(), canvas.memDC(), area);
    GdiFlush();
    // Only what reached the window leaves the dirty area.
    if (!copied)
        canvas.dirty.add(area);
}

} // namespace penwick
