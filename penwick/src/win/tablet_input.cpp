#include "tablet_input.h"

#include "../core/tablet_mapping.h"
#include "ink_renderer.h"
#include "library.h"
#include "sdk.h"

#include <mutex>
#include <optional>

namespace penwick {

namespace {

// What handling a packet leaves for after the locks are released: moving
// the cursor may wait for other threads (low-level mouse hooks), and the
// host's handler of a notification may call back into the library.
struct PacketOutcome {
    LRESULT result = 0;
    std::optional<ScreenPoint> cursor;
    PendingNotifications notifications;
};

// The lifecycle lock for a packet. Another thread holding it may be waiting
// for this one (stopping a drawing thread that is sending a notification
// to a window of this thread), so messages sent to this thread are let
// through while waiting.
std::unique_lock<std::recursive_mutex> lockLifecycleForPacket()
{
    std::unique_lock<std::recursive_mutex> guard = tryLockLifecycle();
    while (!guard.owns_lock()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        guard.try_lock();
    }
    return guard;
}

// The canvas a packet is drawn on: while the pen is down, the one its
// stroke began on, so that the stroke ends there even when the pen has
// moved over another canvas; otherwise the active canvas.
CanvasPtr packetTarget(Library& lib, const CanvasPtr& active)
{
    if (lib.prevButtons != 0) {
        if (CanvasPtr strokeCanvas = findCanvasById(lib.tabletStrokeCanvas))
            return strokeCanvas;
    }
    return active;
}

// Its drawing thread leaves the mouse alone until packets stop coming: a
// tablet driver may move and press the mouse along with the pen.
void markTabletActive(Canvas& canvas, DWORD now)
{
    canvas.lastTabletTick.store(now);   // before the flag: a thread seeing the flag sees this tick
    canvas.tabletActive.store(true);
}

// Under the lifecycle lock and initLock.
void handlePacket(Library& lib, const TabletPacket& packet, PacketOutcome& outcome)
{
    const Tablet& tablet = lib.tablet;
    outcome.cursor = tabletToScreen(packet.pkX, packet.pkY, tablet.logContext().lcInExtX,
                                    tablet.logContext().lcInExtY, tablet.virtualScreen());
    if (!outcome.cursor)
        return;   // a context without an input area: no position to go to

    const CanvasPtr active = findLiveCanvas(lib.activeCanvas.load());
    const CanvasPtr target = packetTarget(lib, active);
    if (!target) {
        outcome.result = 1;   // dropped; the pen's buttons are not taken in
        return;
    }
    const InkKind kind = tabletPointKind(lib.prevButtons, packet.pkButtons);
    lib.prevButtons = packet.pkButtons;
    if (kind == InkKind::penDown)
        lib.tabletStrokeCanvas = target->id;

    const DWORD now = GetTickCount();
    markTabletActive(*target, now);
    if (active && active != target)
        markTabletActive(*active, now);

    InkPoint point;
    point.x = outcome.cursor->x;
    point.y = outcome.cursor->y;
    point.kind = kind;
    point.pressure = tabletPressure(packet.pkNormalPressure, tablet.pressureScale());
    point.pending = 1;
    point.tick = now;

    ScopedLock drawGuard(*lib.drawLock);
    if (!isReady() || target->destroying.load())
        return;
    processInkPoint(&point, *target, outcome.notifications);
    presentChanges(*target);
}

} // namespace

LRESULT onTabletPacket(WPARAM serial, LPARAM context)
{
    if (!isReady())
        return 0;
    PacketOutcome outcome;
    {
        const auto guard = lockLifecycleForPacket();
        // Dispatched from inside the final shut-down (a host's handler
        // pumping messages there): the context is closing and the
        // canvases are going.
        if (!isReady() || isShuttingDown())
            return 0;
        Library& lib = library();
        TabletPacket packet{};
        if (!lib.tablet.readPacket(static_cast<UINT>(serial), reinterpret_cast<HCTX>(context), packet))
            return 0;
        ScopedLock initGuard(*lib.initLock);
        handlePacket(lib, packet, outcome);
    }
    if (outcome.cursor)
        SetCursorPos(outcome.cursor->x, outcome.cursor->y);
    for (std::size_t i = 0; i < outcome.notifications.size(); ++i) {
        const StrokeNotification& notification = outcome.notifications[i];
        SendMessageW(notification.window, WM_CANVAS_STROKE, notification.wParam, notification.lParam);
    }
    return outcome.result;
}

} // namespace penwick
